#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "app/QtTranslations.h"

using namespace kpx;

TEST(QtTranslations, QtsOwnTextsSpeakJapaneseWhereInstalledAndEnglishElsewhere)
{
    const auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    EXPECT_EQ(InstallQtTranslations(QStringLiteral("/nonexistent")), nullptr);
    EXPECT_EQ(lookIn(), QStringLiteral("Look in:"));

    QTranslator *translator = InstallQtTranslations();
    ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is not installed";
    EXPECT_NE(lookIn(), QStringLiteral("Look in:"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    // A word Qt's catalogue lacks, which the folder browser's list shows.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
              QStringLiteral("フォルダ"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
}
