#include "app/NameHistory.h"

#include <QComboBox>

#include "pages/PathRoutines.h"
#include "settings/SaveProp.h"
#include "settings/file/SettingsLayout.h"

namespace kpx {

void AddToHistory(QComboBox &box, const QString &text, int limit)
{
    if (limit <= 0)
        return;
    const int existing = box.findText(text, Qt::MatchFixedString); // fixed string ignores case
    if (existing >= 0) {
        box.setCurrentIndex(existing);
        box.setEditText(box.itemText(existing));
        return;
    }
    if (box.count() == limit)
        box.removeItem(box.count() - 1);
    box.insertItem(0, text);
    box.setCurrentIndex(0);
    box.setEditText(text);
}

void SaveHistoryItems(const QComboBox &box, TIniSaveProps &props)
{
    const QString section = box.objectName();
    props.ClearSection(section);
    for (int i = 0; i < box.count(); ++i)
        props.WriteString(section, ini::HtmlnameHistory.ItemKey(i), box.itemText(i));
}

QString NormalizeHtmlFileName(const QString &text)
{
    if (text.trimmed().isEmpty())
        return text;
    QString name = text.mid(text.lastIndexOf(QLatin1Char(PathDelim)) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name + QStringLiteral(".html");
}

} // namespace kpx
