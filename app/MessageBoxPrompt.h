// The engine's questions and messages as the program's message boxes. May touch: widgets, the user.
#pragma once

#include "pages/UserPrompt.h"

class QWidget;

namespace kpx {

// The engine's questions and messages as the program's message boxes.
class TMessageBoxPrompt : public TUserPrompt
{
public:
    explicit TMessageBoxPrompt(QWidget *parent) : FParent(parent) {}
    bool Ask(const std::string &question) override;
    void Warning(const std::string &text) override;
    void Error(const std::string &text) override;
    void Information(const std::string &text) override;

protected:
    // Yes and no, and for the rest of the run: replace all, skip all, stop.
    TReplaceAnswer AskReplace(const std::string &question) override;

private:
    QWidget *FParent;
};

} // namespace kpx
