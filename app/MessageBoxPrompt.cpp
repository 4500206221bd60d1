#include "app/MessageBoxPrompt.h"

#include "components/MessageDialogs.h"
#include "text/Cp932.h"

namespace kpx {

bool TMessageBoxPrompt::Ask(const std::string &question)
{
    return AskYesNo(FParent, Cp932ToQString(question));
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
