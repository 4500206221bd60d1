#include "components/MessageDialogs.h"

#include <utility>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "components/DesktopWindow.h"
#include "components/WindowFont.h"
#include "components/WindowFrame.h"

namespace kpx {

namespace {

TMessageHandler &CurrentHandler()
{
    static TMessageHandler handler;
    return handler;
}

TChoiceHandler &CurrentChoiceHandler()
{
    static TChoiceHandler handler;
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

// Characters that may not begin a line of Japanese text.
bool MayNotBeginLine(QChar c)
{
    return QStringLiteral("、。，．）」』】〉》ー々ぁぃぅぇぉっゃゅょァィゥェォッャュョ!?！？,.)").contains(c);
}

// Where a path begins in the line (with the bracket that opens it), or -1.
qsizetype PathStart(const QString &line)
{
    static const QRegularExpression path(QStringLiteral("[「\"]?(?:[A-Za-z]:)?[\\\\/][^\\s」\"]*[\\\\/]"));
    const QRegularExpressionMatch found = path.match(line);
    return found.hasMatch() ? found.capturedStart() : -1;
}

// The longest head of the line that fits, broken where a reader expects it.
qsizetype BreakAt(const QString &line, const std::function<int(const QString &)> &widthOf, int maxWidth)
{
    if (const qsizetype path = PathStart(line); path > 0 && widthOf(line.left(path)) <= maxWidth)
        return path;
    qsizetype fits = 1;
    while (fits < line.size() && widthOf(line.left(fits + 1)) <= maxWidth)
        ++fits;
    // After punctuation or a path separator in the second half, if there is one.
    for (qsizetype at = fits; at > fits / 2; --at)
        if (QStringLiteral("、。/\\").contains(line.at(at - 1)) && !MayNotBeginLine(line.at(at)))
            return at;
    qsizetype at = fits;
    while (at > 1 && MayNotBeginLine(line.at(at)))
        --at;
    return at;
}

// Lines are broken here, where a reader expects it, and the label is made
// wide enough for the longest, so that Qt's own wrapping never leaves a
// lone 「す。」 on a line of its own.
void SetBoxText(QMessageBox &box, QWidget *parent, const QString &text)
{
    const QFontMetrics metrics(box.font());
    const int maxWidth = std::min(MessageLineWidth, AvailableArea(parent ? parent : &box).width() - 160);
    const QStringList lines =
        WrapMessage(text, [&metrics](const QString &part) { return metrics.horizontalAdvance(part); }, maxWidth);
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    box.setText(lines.join(QLatin1Char('\n')));
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(widest + 2);
}

// A hidden owner (a window saving at program end) would place the box
// where that window last was, or at the screen's corner.
QWidget *ShownOwner(QWidget *parent)
{
    return parent && parent->window()->isVisible() ? parent : nullptr;
}

bool ShowMessage(QWidget *parent, TMsgKind kind, const QString &text)
{
    if (const TMessageHandler &handler = CurrentHandler())
        return handler(kind, text);

    parent = ShownOwner(parent);
    QMessageBox box(IconOf(kind), MessageCaption(kind), QString(), QMessageBox::NoButton, parent);
    ApplyWindowFont(&box);
    // Messages may carry file names; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    SetBoxText(box, parent, text);
    PrepareWindow(&box);
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

QStringList WrapMessage(const QString &text, const std::function<int(const QString &)> &widthOf, int maxWidth)
{
    QString plain = text;
    // Our texts break lines with CR LF, as the files do.
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines;
    for (QString line : plain.split(QLatin1Char('\n'))) {
        while (line.size() > 1 && widthOf(line) > maxWidth) {
            qsizetype at = BreakAt(line, widthOf, maxWidth);
            // A last line of a few characters reads as a stray: it takes a
            // few more from the line before.
            constexpr qsizetype MinLastLine = 5;
            if (line.size() - at < MinLastLine && at > 2 * MinLastLine) {
                at = line.size() - MinLastLine;
                while (at > 1 && MayNotBeginLine(line.at(at)))
                    --at;
            }
            lines.append(line.left(at));
            line = line.mid(at);
        }
        lines.append(line);
    }
    return lines;
}

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

int AskChoice(QWidget *parent, const QString &text, const QStringList &buttons)
{
    return ShowChoice(parent, TMsgKind::Confirmation, text, buttons);
}

int ShowChoice(QWidget *parent, TMsgKind kind, const QString &text, const QStringList &buttons)
{
    if (const TChoiceHandler &handler = CurrentChoiceHandler())
        return handler(kind, text, buttons);
    if (const TMessageHandler &handler = CurrentHandler()) {
        const bool yes = handler(kind, text);
        return kind != TMsgKind::Confirmation || yes ? 0 : 1;
    }
    parent = ShownOwner(parent);
    QMessageBox box(IconOf(kind), MessageCaption(kind), QString(), QMessageBox::NoButton, parent);
    ApplyWindowFont(&box);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton *> added;
    for (const QString &caption : buttons)
        added << box.addButton(caption, QMessageBox::ActionRole);
    if (!added.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
    // A report closes with Esc as with its OK; a question has no answer to assume.
    if (!added.isEmpty() && kind != TMsgKind::Confirmation)
        box.setEscapeButton(added.first());
    SetBoxText(box, parent, text);
    PrepareWindow(&box);
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
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

TChoiceHandler SetChoiceHandler(TChoiceHandler handler)
{
    return std::exchange(CurrentChoiceHandler(), std::move(handler));
}

TMessageRecorder::TMessageRecorder(bool answer)
    : Answer(answer)
{
    FPrevious = SetMessageHandler([this](TMsgKind kind, const QString &text) {
        FMessages.append({kind, text});
        return Answer;
    });
    FPreviousChoice = SetChoiceHandler([this](TMsgKind kind, const QString &text, const QStringList &) {
        FMessages.append({kind, text});
        if (!Choices.isEmpty())
            return Choices.takeFirst();
        return kind != TMsgKind::Confirmation || Answer ? 0 : 1;
    });
}

TMessageRecorder::~TMessageRecorder()
{
    SetChoiceHandler(std::move(FPreviousChoice));
    SetMessageHandler(std::move(FPrevious));
}

} // namespace kpx
