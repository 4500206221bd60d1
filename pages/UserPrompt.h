// What the engine asks or tells the user, as an interface. May touch: nothing itself.
#pragma once

#include <optional>
#include <string>

namespace kpx {

// The answers to whether an existing file is to be replaced.
enum class TReplaceAnswer
{
    Yes,
    No,
    YesToAll, // replace this file and every other one of the run without asking
    NoToAll,  // keep this file and every other one of the run without asking
    Stop,     // keep this file and end the run before the next file
};

// Everything the engine must ask or tell the user. The windows answer with
// message boxes, the command-line tool on the terminal, tests with a fake.
// Texts are code page 932. One prompt serves one run.
class TUserPrompt
{
public:
    virtual ~TUserPrompt() = default;
    // A yes/no question; true means yes.
    virtual bool Ask(const std::string &question) = 0;
    virtual void Warning(const std::string &text) = 0;
    virtual void Error(const std::string &text) = 0;
    virtual void Information(const std::string &text) = 0;

    // Whether to replace an existing file: asks, unless an earlier answer
    // for all (or Stop, which keeps every file) already decided.
    bool MayReplace(const std::string &question)
    {
        if (FStanding)
            return *FStanding;
        switch (AskReplace(question)) {
        case TReplaceAnswer::Yes:
            return true;
        case TReplaceAnswer::No:
            return false;
        case TReplaceAnswer::YesToAll:
            FStanding = true;
            return true;
        case TReplaceAnswer::Stop:
            FStopped = true;
            [[fallthrough]];
        case TReplaceAnswer::NoToAll:
            FStanding = false;
            return false;
        }
        return false;
    }
    // The user chose to stop: the run ends before its next file.
    bool StopRequested() const { return FStopped; }

protected:
    // One question about replacing a file; a prompt that offers only yes
    // and no answers Yes or No.
    virtual TReplaceAnswer AskReplace(const std::string &question)
    {
        return Ask(question) ? TReplaceAnswer::Yes : TReplaceAnswer::No;
    }

private:
    std::optional<bool> FStanding;
    bool FStopped = false;
};

} // namespace kpx
