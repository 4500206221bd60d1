#include "components/MessageDialogs.h"

#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace kpx {

namespace {

TMessageHandler &CurrentHandler()
{
    static TMessageHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(TMsgKind kind)
{
    switch (kind) {
    case TMsgKind::Warning:
        return QMessageBox::Warning;
    case TMsgKind::Error:
        return QMessageBox::Critical;
    case TMsgKind::Information:
        return QMessageBox::Information;
    case TMsgKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

void AddButton(QMessageBox &box, QMessageBox::StandardButton which, const QString &text)
{
    box.addButton(which);
    box.button(which)->setText(text);
}

bool ShowMessage(QWidget *parent, TMsgKind kind, const QString &text)
{
    if (const TMessageHandler &handler = CurrentHandler())
        return handler(kind, text);

    // Our texts break lines with CR LF, as the files do; a label wants LF.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(IconOf(kind), MessageCaption(kind), shown, QMessageBox::NoButton, parent);
    // Messages may carry file names; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    if (kind == TMsgKind::Confirmation) {
        AddButton(box, QMessageBox::Yes, QStringLiteral("はい(&Y)"));
        AddButton(box, QMessageBox::No, QStringLiteral("いいえ(&N)"));
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        AddButton(box, QMessageBox::Ok, QStringLiteral("OK"));
    }
    return box.exec() == QMessageBox::Yes;
}

} // namespace

QString MessageCaption(TMsgKind kind)
{
    switch (kind) {
    case TMsgKind::Warning:
        return QStringLiteral("警告");
    case TMsgKind::Error:
        return QStringLiteral("エラー");
    case TMsgKind::Information:
        return QStringLiteral("情報");
    case TMsgKind::Confirmation:
        return QStringLiteral("確認");
    }
    return {};
}

void ShowWarning(QWidget *parent, const QString &text)
{
    ShowMessage(parent, TMsgKind::Warning, text);
}

void ShowError(QWidget *parent, const QString &text)
{
    ShowMessage(parent, TMsgKind::Error, text);
}

void ShowInformation(QWidget *parent, const QString &text)
{
    ShowMessage(parent, TMsgKind::Information, text);
}

bool AskYesNo(QWidget *parent, const QString &text)
{
    return ShowMessage(parent, TMsgKind::Confirmation, text);
}

void ReportApplicationError(QObject *sender, const QString &message)
{
    // A failing widget owns its box; anything else reports over the window in use.
    auto *widget = qobject_cast<QWidget *>(sender);
    ShowError(widget ? widget->window() : QApplication::activeWindow(), message);
}

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    return std::exchange(CurrentHandler(), std::move(handler));
}

TMessageRecorder::TMessageRecorder(bool answer)
    : Answer(answer)
{
    FPrevious = SetMessageHandler([this](TMsgKind kind, const QString &text) {
        FMessages.append({kind, text});
        return Answer;
    });
}

TMessageRecorder::~TMessageRecorder()
{
    SetMessageHandler(std::move(FPrevious));
}

} // namespace kpx
