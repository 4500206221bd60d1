// The engine's questions and messages on a terminal. May touch: the streams it is given.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "pages/UserPrompt.h"

namespace kpx {

// A CP932 text of the engine as a terminal shows it: UTF-8, plain line breaks.
std::string TerminalText(std::string_view cp932);

// Answers the engine on a terminal. Questions are asked only when there is
// someone to answer them; otherwise the answer is no, and the text says so.
class TTerminalPrompt final : public TUserPrompt
{
public:
    TTerminalPrompt(std::istream &in, std::ostream &out, bool interactive);

    bool Interactive() const { return FInteractive; }

    bool Ask(const std::string &question) override;
    void Warning(const std::string &text) override;
    void Error(const std::string &text) override;
    void Information(const std::string &text) override;

private:
    void Show(const std::string &text);

    std::istream &FIn;
    std::ostream &FOut;
    bool FInteractive;
};

} // namespace kpx
