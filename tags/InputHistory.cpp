#include "tags/InputHistory.h"

namespace kpx {

bool TInputHistory::ContainsNoCase(const QString &text) const
{
    return FFolded.contains(text.toCaseFolded());
}

void TInputHistory::Add(const QString &text)
{
    QString folded = text.toCaseFolded();
    if (FFolded.contains(folded))
        return;
    FFolded.insert(std::move(folded));
    FItems.append(text);
    if (OnAdded)
        OnAdded(text);
}

int TInputHistory::FindPrefixNoCase(const QString &prefix) const
{
    if (prefix.isEmpty())
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (FItems.at(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace kpx
