#include "settings/file/SettingsLayout.h"

namespace kpx::ini::SortGrid {

std::optional<int> ColumnOfKey(const QString &key)
{
    const QLatin1String prefix(KeyPrefix);
    if (key.size() != prefix.size() + 1 || !key.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    const int column = key.back().unicode() - u'0';
    if (column < 0 || column >= ColumnCount)
        return std::nullopt;
    return column;
}

} // namespace kpx::ini::SortGrid
