// The html file name history of the main window's name box. May touch: the combo box it is given.
#pragma once

#include <QString>

class QComboBox;

namespace kpx {

class TIniSaveProps;

// Records a name in the box's drop-down history, newest first, holding at
// most `limit` entries (0 records nothing). A name already there, in any
// letter case, is selected as stored instead.
void AddToHistory(QComboBox &box, const QString &text, int limit);

// Replaces the stored history of the box: its section (named like the box)
// is emptied, then "Items0", "Items1", ... are written in list order.
void SaveHistoryItems(const QComboBox &box, TIniSaveProps &props);

// A typed page name as the history keeps it: the file-name part only, with
// the extension ".html". Blank text comes back unchanged.
QString NormalizeHtmlFileName(const QString &text);

} // namespace kpx
