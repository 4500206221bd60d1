#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace kpx {

namespace {

// Qt's Japanese catalogue, and the few words it lacks that the program's
// dialogs show (the kind of an entry in the folder browser's list).
class TJapaneseQt : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override
    {
        const QString found = QTranslator::translate(context, sourceText, disambiguation, n);
        // The catalogue holds some of these words untranslated, as English.
        if ((!found.isEmpty() && found != QLatin1String(sourceText)) || qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return found;
        static const struct
        {
            const char *English;
            const char16_t *Japanese;
        } missing[] = {
            {"Folder", u"フォルダ"},
            {"Drive", u"ドライブ"},
            {"File", u"ファイル"},
            {"%1 File", u"%1 ファイル"},
        };
        for (const auto &word : missing)
            if (qstrcmp(sourceText, word.English) == 0)
                return QString::fromUtf16(word.Japanese);
        return found;
    }
};

} // namespace

QTranslator *InstallQtTranslations(const QString &folder)
{
    auto *translator = new TJapaneseQt(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), folder) && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace kpx
