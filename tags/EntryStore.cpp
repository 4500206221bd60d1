#include "tags/EntryStore.h"

namespace kpx {

bool TInputHistory::ContainsNoCase(const QString &text) const
{
    return m_folded.contains(text.toCaseFolded());
}

void TInputHistory::Add(const QString &text)
{
    QString folded = text.toCaseFolded();
    if (m_folded.contains(folded))
        return;
    m_folded.insert(std::move(folded));
    m_items.append(text);
    if (OnAdded)
        OnAdded(text);
}

int TInputHistory::FindPrefixNoCase(const QString &prefix) const
{
    if (prefix.isEmpty())
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (m_items.at(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace kpx
