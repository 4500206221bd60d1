// Texts kept for completion while the program runs. May touch: nothing (memory).
#pragma once

#include <functional>

#include <QSet>
#include <QString>
#include <QStringList>

namespace kpx {

// Texts typed or shown in the editor panels, kept for completion while the
// program runs: unsorted, unlimited, matched without regard to letter case.
class TInputHistory
{
public:
    bool ContainsNoCase(const QString &text) const;
    // Appends the text unless an entry equal to it ignoring case exists.
    void Add(const QString &text);
    // Index of the first entry that begins with `prefix` ignoring case; -1 for
    // none, and always -1 for an empty prefix.
    int FindPrefixNoCase(const QString &prefix) const;
    QString At(int index) const { return FItems.at(index); }
    int Count() const { return static_cast<int>(FItems.size()); }

    // Told of every text the history takes in (the main window shows the
    // history in its hidden list box).
    std::function<void(const QString &text)> OnAdded;

private:
    QStringList FItems;
    QSet<QString> FFolded; // case-folded copies, so Add stays fast on long histories
};

} // namespace kpx
