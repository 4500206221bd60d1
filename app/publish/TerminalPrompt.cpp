#include "app/publish/TerminalPrompt.h"

#include <istream>
#include <ostream>

#include "text/Cp932.h"

namespace kpx {

std::string TerminalText(std::string_view cp932)
{
    std::string text = Cp932ToUtf8(cp932);
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

TTerminalPrompt::TTerminalPrompt(std::istream &in, std::ostream &out, bool interactive)
    : FIn(in)
    , FOut(out)
    , FInteractive(interactive)
{
}

bool TTerminalPrompt::Ask(const std::string &question)
{
    FOut << TerminalText(question);
    if (!FInteractive) {
        FOut << " いいえ (確認できる端末がないため、置き換えません)\n";
        return false;
    }
    for (;;) {
        FOut << " (y/n) " << std::flush;
        std::string answer;
        if (!std::getline(FIn, answer))
            break;
        if (answer == "y" || answer == "Y" || answer == "yes")
            return true;
        if (answer == "n" || answer == "N" || answer == "no")
            return false;
    }
    FOut << '\n';
    return false; // the terminal closed: nothing is replaced unasked
}

void TTerminalPrompt::Warning(const std::string &text)
{
    Show(text);
}

void TTerminalPrompt::Error(const std::string &text)
{
    Show(text);
}

void TTerminalPrompt::Information(const std::string &text)
{
    Show(text);
}

void TTerminalPrompt::Show(const std::string &text)
{
    FOut << TerminalText(text) << '\n';
}

} // namespace kpx
