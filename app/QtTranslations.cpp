#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace kpx {

QTranslator *InstallQtTranslations(const QString &folder)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), folder) && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace kpx
