// Qt's own texts in Japanese. May touch: the application's translators, Qt's translation files.
#pragma once

#include <QLibraryInfo>
#include <QString>

class QTranslator;

namespace kpx {

// Qt's own texts (file dialogs, context menus, standard buttons) in Japanese,
// whatever the locale, since every text of the program itself is Japanese.
// Returns the installed translator, owned by the application, or null when
// the translations are not installed: Qt then speaks English.
QTranslator *InstallQtTranslations(const QString &folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace kpx
