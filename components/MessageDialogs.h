// Every message box of the program. May touch: widgets, the user.
#pragma once

#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

class QObject;
class QWidget;

namespace kpx {

// Every modal message box of the program goes through here, so that captions,
// icons and button texts are the same everywhere and tests can answer boxes
// without a modal loop.

enum class TMsgKind {
    Warning,
    Error,
    Information,
    Confirmation,
};

// The widest line of a message box's text, in pixels.
constexpr int MessageLineWidth = 560;

// The lines a message box shows: the text's own lines (CR LF or LF), each
// line wider than maxWidth broken before the path it holds, or after its last
// 、 or 。 that fits, or where it must, but never before a character that may
// not begin a line (。、」 and the like).
QStringList WrapMessage(const QString &text, const std::function<int(const QString &)> &widthOf, int maxWidth);

// The Japanese caption of a box of this kind.
QString MessageCaption(TMsgKind kind);

void ShowWarning(QWidget *parent, const QString &text);
void ShowError(QWidget *parent, const QString &text);
void ShowInformation(QWidget *parent, const QString &text);
// Yes/No question; true only when the user answers Yes.
bool AskYesNo(QWidget *parent, const QString &text);
// A question with buttons of its own, the first the default; the index of
// the one pressed, or -1 when the box was closed otherwise.
int AskChoice(QWidget *parent, const QString &text, const QStringList &buttons);
// The same for a box of any kind: a report that offers ways on beside its OK.
int ShowChoice(QWidget *parent, TMsgKind kind, const QString &text, const QStringList &buttons);

// The program-wide report of a failure that escaped to an event handler:
// an error box with the failure's own text.
void ReportApplicationError(QObject *sender, const QString &message);

// When a handler is set it is called instead of showing a box; its return
// value is the answer (only AskYesNo looks at it). Returns the previous one.
using TMessageHandler = std::function<bool(TMsgKind kind, const QString &text)>;
TMessageHandler SetMessageHandler(TMessageHandler handler);
// The same for AskChoice and ShowChoice: returns the button index. Without
// one, a message handler answers a question as yes/no (yes: 0, no: 1) and
// any other box with its first button.
using TChoiceHandler = std::function<int(TMsgKind kind, const QString &text, const QStringList &buttons)>;
TChoiceHandler SetChoiceHandler(TChoiceHandler handler);

// For tests: records every message instead of showing it, answering each
// question with `Answer`, and puts the previous handler back when it goes.
class TMessageRecorder
{
public:
    struct TMessage
    {
        TMsgKind Kind;
        QString Text;

        bool operator==(const TMessage &) const = default;
    };

    explicit TMessageRecorder(bool answer = true);
    ~TMessageRecorder();
    TMessageRecorder(const TMessageRecorder &) = delete;
    TMessageRecorder &operator=(const TMessageRecorder &) = delete;

    const QList<TMessage> &Messages() const { return FMessages; }
    bool Answer = true;
    // The buttons AskChoice and ShowChoice press, one per box; once used up,
    // a question is answered yes/no by Answer and any other box with its first button.
    QList<int> Choices;

private:
    QList<TMessage> FMessages;
    TMessageHandler FPrevious;
    TChoiceHandler FPreviousChoice;
};

} // namespace kpx
