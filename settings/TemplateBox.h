// A multi-line box holding a page template. May touch: widgets.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>

namespace kpx {

// A multi-line box holding a page template as a list of lines. Its text reads
// with CR LF line breaks, as the pages are written.
class TTemplateBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TTemplateBox(QWidget *parent = nullptr);

    QString Text() const;
    void SetText(const QString &text); // CR LF or LF line breaks
    // Appends the line followed by a line break.
    void AppendLine(const QString &line);
    void DropFinalLineBreak();
    // The lines of the text; an empty line after the last line break does not count.
    QStringList Lines() const;
};

} // namespace kpx
