#include "components/PageTextValidator.h"

#include <algorithm>

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

#include "text/Cp932.h"

namespace kpx {

namespace {

bool IsLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Each character of text that code page 932 cannot hold, once, in order.
QString Unrepresentable(const QString &text)
{
    if (QStringToCp932(text))
        return {};
    QString refused;
    for (const char32_t codePoint : text.toUcs4()) {
        const QString character = QString::fromUcs4(&codePoint, 1);
        if (!QStringToCp932(character) && !refused.contains(character))
            refused += character;
    }
    return refused;
}

class TPageTextValidator final : public QValidator
{
public:
    explicit TPageTextValidator(QLineEdit *edit)
        : QValidator(edit)
        , FEdit(edit)
    {
    }

    State validate(QString &input, int &pos) const override
    {
        // Refused as a whole, the edit is undone: the box keeps the text and
        // the undo steps it had.
        if (const QString refused = Unrepresentable(input); !refused.isEmpty()) {
            Explain(refused);
            return Invalid;
        }
        const auto caret = input.cbegin() + std::clamp<qsizetype>(pos, 0, input.size());
        pos -= static_cast<int>(std::count_if(input.cbegin(), caret, IsLineBreak));
        input.removeIf(IsLineBreak);
        return Acceptable;
    }

private:
    // Not modal: the user keeps typing, and sees why a character did not come.
    void Explain(const QString &refused) const
    {
        if (!FEdit->isVisible())
            return;
        QToolTip::showText(FEdit->mapToGlobal(QPoint(0, FEdit->height())),
                           QStringLiteral(u"「%1」はページやファイル名に使えない文字のため、入力できません。").arg(refused),
                           FEdit);
    }

    QLineEdit *const FEdit;
};

} // namespace

void RestrictToPageText(QLineEdit *edit)
{
    edit->setValidator(new TPageTextValidator(edit));
}

} // namespace kpx
