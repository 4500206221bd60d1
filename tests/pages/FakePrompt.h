#pragma once

#include <string>
#include <vector>

#include "pages/UserPrompt.h"
#include "text/Cp932.h"

namespace kpx::test {

// Records what the engine tells the user and answers its questions.
class FakePrompt : public TUserPrompt
{
public:
    bool answer = true;
    std::vector<std::string> questions, warnings, errors, informations; // UTF-8

    bool Ask(const std::string &question) override
    {
        questions.push_back(Cp932ToUtf8(question));
        return answer;
    }
    void Warning(const std::string &text) override { warnings.push_back(Cp932ToUtf8(text)); }
    void Error(const std::string &text) override { errors.push_back(Cp932ToUtf8(text)); }
    void Information(const std::string &text) override { informations.push_back(Cp932ToUtf8(text)); }
};

} // namespace kpx::test
