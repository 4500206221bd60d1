#pragma once

#include <string>

namespace kpx {

// Everything the engine must ask or tell the user. The windows answer with
// message boxes, the command-line tool on the terminal, tests with a fake.
// Texts are code page 932.
class TUserPrompt
{
public:
    virtual ~TUserPrompt() = default;
    // A yes/no question; true means yes.
    virtual bool Ask(const std::string &question) = 0;
    virtual void Warning(const std::string &text) = 0;
    virtual void Error(const std::string &text) = 0;
    virtual void Information(const std::string &text) = 0;
};

} // namespace kpx
