#include "app/MessageBoxPrompt.h"

#include "components/MessageDialogs.h"
#include "text/Cp932.h"

namespace kpx {

bool TMessageBoxPrompt::Ask(const std::string &question)
{
    return AskYesNo(FParent, Cp932ToQString(question));
}

TReplaceAnswer TMessageBoxPrompt::AskReplace(const std::string &question)
{
    static const TReplaceAnswer answers[] = {TReplaceAnswer::Yes, TReplaceAnswer::No, TReplaceAnswer::YesToAll,
                                             TReplaceAnswer::NoToAll, TReplaceAnswer::Stop};
    const int chosen =
        AskChoice(FParent, Cp932ToQString(question),
                  {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("すべて上書き(&A)"),
                   QStringLiteral("すべてスキップ(&S)"), QStringLiteral("中止(&C)")});
    // Closing the box keeps the file, as いいえ does.
    return chosen >= 0 && chosen < 5 ? answers[chosen] : TReplaceAnswer::No;
}

void TMessageBoxPrompt::Warning(const std::string &text)
{
    ShowWarning(FParent, Cp932ToQString(text));
}

void TMessageBoxPrompt::Error(const std::string &text)
{
    ShowError(FParent, Cp932ToQString(text));
}

void TMessageBoxPrompt::Information(const std::string &text)
{
    ShowInformation(FParent, Cp932ToQString(text));
}

} // namespace kpx
