#include "settings/TemplateBox.h"

namespace kpx {

TTemplateBox::TTemplateBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QString TTemplateBox::Text() const
{
    return toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void TTemplateBox::SetText(const QString &text)
{
    setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TTemplateBox::AppendLine(const QString &line)
{
    SetText(toPlainText() + line + QLatin1Char('\n'));
}

void TTemplateBox::DropFinalLineBreak()
{
    const QString text = toPlainText();
    if (text.endsWith(QLatin1Char('\n')))
        SetText(text.chopped(1));
}

QStringList TTemplateBox::Lines() const
{
    const QString text = toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

} // namespace kpx
