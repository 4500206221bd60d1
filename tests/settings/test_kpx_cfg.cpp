#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QScreen>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "components/LtLabel.h"
#include "components/UpDown.h"
#include "settings/RadioGroup.h"
#include "settings/TemplateBox.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/IniDocument.h"
#include "settings/file/IniStorage.h"
#include "settings/kpx_cfg.h"
#include "support/WidgetSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

class CfgDialogTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path ini = dir / "kpx_app.ini";
    TSettingsPathOverride settingsPath{QString::fromStdString(ini.string())};
    QWidget mainWindow;
    QComboBox history;

    std::unique_ptr<Tkpx_cfgFrm> open() { return std::make_unique<Tkpx_cfgFrm>(&mainWindow, &history); }
    template <typename T>
    static T *child(Tkpx_cfgFrm &dialog, const char *name)
    {
        T *widget = dialog.findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    TIniDocument file() const { return TIniDocument::Parse(ReadFileBytes(ini)); }
};

TEST_F(CfgDialogTest, MissingFileGivesTheDefaults)
{
    auto dialog = open();
    EXPECT_FALSE(dialog->AlwaysTop());
    EXPECT_TRUE(dialog->LowerCase());
    EXPECT_TRUE(dialog->AutoComplete());
    EXPECT_EQ(dialog->HistoryCount(), 10);
    EXPECT_EQ(dialog->OverwriteIndex(), 0);
    EXPECT_EQ(dialog->RenamePattern(), QStringLiteral("'mv'yymmdd"));
    EXPECT_TRUE(dialog->HeaderTemplate().isEmpty());
    EXPECT_TRUE(dialog->FooterTemplate(1).isEmpty());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("設定"));
    EXPECT_EQ(dialog->height(), 296);
    EXPECT_GE(dialog->width(), 396); // wider only as far as the widest overwrite choice needs
}

TEST_F(CfgDialogTest, AnOverwriteIndexWithoutAButtonShowsAndStoresTheChoiceThatApplies)
{
    for (const char *stored : {"-1", "5", "x"}) {
        SCOPED_TRACE(stored);
        WriteFileBytes(ini, std::string("[OverWrite]\r\nIndex=") + stored + "\r\n");
        auto dialog = open();
        EXPECT_EQ(dialog->OverwriteIndex(), 0);
        EXPECT_EQ(child<TRadioGroup>(*dialog, "rg_overwrite")->findChildren<QAbstractButton *>().first()->isChecked(),
                  true);
        dialog.reset();
        EXPECT_EQ(file().ReadString("OverWrite", "Index", ""), "0");
    }
}

TEST_F(CfgDialogTest, TheUpdateChoiceIsStoredAsFourAndEveryChoiceShowsWhole)
{
    auto dialog = open();
    auto *group = child<TRadioGroup>(*dialog, "rg_overwrite");
    const QList<QAbstractButton *> choices = group->findChildren<QAbstractButton *>();
    ASSERT_EQ(choices.size(), 5);
    EXPECT_EQ(choices.last()->text(), QStringLiteral("更新されたファイルのみ上書きする"));
    // Its rule is told where the choice is made, not only in the publisher's help.
    EXPECT_TRUE(choices.last()->toolTip().contains(QStringLiteral("大きさか更新日時")));
    dialog->show();
    QTest::qWait(0);
    const QRect tab = child<QWidget>(*dialog, "ts_general")->rect();
    EXPECT_TRUE(tab.contains(group->geometry())) << group->geometry().bottom() << " " << tab.bottom();
    for (QAbstractButton *choice : choices) {
        EXPECT_TRUE(group->contentsRect().contains(choice->geometry())) << choice->text().toStdString();
        EXPECT_GE(choice->width(), choice->sizeHint().width()) << choice->text().toStdString();
        EXPECT_GE(choice->height(), choice->minimumSizeHint().height()) << choice->text().toStdString();
    }
    QTest::mouseClick(choices.last(), Qt::LeftButton);
    EXPECT_EQ(dialog->OverwriteIndex(), 4);
    dialog.reset();
    EXPECT_EQ(file().ReadString("OverWrite", "Index", ""), "4");
    EXPECT_EQ(open()->OverwriteIndex(), 4);
}

TEST_F(CfgDialogTest, OptionsAndTemplatesSurviveARestart)
{
    {
        auto dialog = open();
        child<QCheckBox>(*dialog, "cbx_AlwaysTop")->setChecked(true);
        child<QCheckBox>(*dialog, "cbx_LowerCase")->setChecked(false);
        child<QCheckBox>(*dialog, "cbx_AutoComplete")->setChecked(false);
        child<TUpDown>(*dialog, "ud_HisCount")->setValue(25);
        child<TRadioGroup>(*dialog, "rg_overwrite")->SetItemIndex(3);
        child<QLineEdit>(*dialog, "edt_format")->setText(QStringLiteral("'動画'yyyy"));
        dialog->sb_def_headerClick();
        dialog->sb_def_footerClick();
    }
    auto dialog = open();
    EXPECT_TRUE(dialog->AlwaysTop());
    EXPECT_FALSE(dialog->LowerCase());
    EXPECT_FALSE(dialog->AutoComplete());
    EXPECT_EQ(dialog->HistoryCount(), 25);
    EXPECT_EQ(dialog->OverwriteIndex(), 3);
    EXPECT_EQ(dialog->RenamePattern(), QStringLiteral("'動画'yyyy"));
    // Stored line by line and read back exactly, the last line with a break
    // only where it had one: pages stay the same from session to session.
    EXPECT_EQ(dialog->HeaderTemplate(), FromUtf8(DefaultHeader));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dialog->FooterTemplate(i), FromUtf8(DefaultFooters[i]));
    EXPECT_EQ(file().ReadString("html_footer2", "Lines0", ""), Sjis(DefaultFooters[1]));
    EXPECT_EQ(file().ReadString("ReName", "Format", ""), Sjis("'動画'yyyy"));
}

TEST_F(CfgDialogTest, ShortenedHeaderLeavesOnlyItsOwnLines)
{
    {
        auto dialog = open();
        dialog->sb_def_headerClick();
    }
    {
        auto dialog = open();
        QStringList lines = child<TTemplateBox>(*dialog, "html_header")->Lines();
        ASSERT_EQ(lines.size(), 9);
        lines = lines.mid(0, 7);
        child<TTemplateBox>(*dialog, "html_header")->SetText(lines.join(QStringLiteral("\r\n")));
    }
    EXPECT_EQ(file().ReadSection("html_header"),
              (std::vector<std::string>{"Lines0", "Lines1", "Lines2", "Lines3", "Lines4", "Lines5", "Lines6",
                                        "LineBreakAtEnd"}));
}

TEST_F(CfgDialogTest, TemplatesReadBackAsTheyWereButForBlankLines)
{
    const struct
    {
        const char *stored, *storedKey, *readBack;
    } cases[] = {
        {"a\r\n\r\nb", "0", "a\r\nb"}, // a blank line is lost (one line per key)
        {"<BR></BODY></HTML>", "0", "<BR></BODY></HTML>"},
        {"a\r\nb\r\n", "1", "a\r\nb\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        {
            auto dialog = open();
            child<TTemplateBox>(*dialog, "html_footer2")->SetText(QString::fromUtf8(c.stored));
        }
        EXPECT_EQ(file().ReadString("html_footer2", "LineBreakAtEnd", ""), c.storedKey);
        for (int session = 0; session < 2; ++session) // the same in every later session
            EXPECT_EQ(open()->FooterTemplate(1), QString::fromUtf8(c.readBack));
    }
    // A file written before the key existed reads as it always did.
    WriteFileBytes(ini, "[html_footer2]\r\nLines0=x\r\n");
    EXPECT_EQ(open()->FooterTemplate(1), QStringLiteral("x\r\n"));
}

TEST_F(CfgDialogTest, RenamePatternBoxRefusesFileNameCharacters)
{
    auto dialog = open();
    auto *format = child<QLineEdit>(*dialog, "edt_format");
    format->clear();
    QTest::keyClicks(format, QStringLiteral("a?b,c\\/:;*\"<>|"));
    EXPECT_EQ(format->text(), QStringLiteral("abc"));
    format->clear();
    QTest::keyClicks(format, QStringLiteral("'mv'yymmdd"));
    EXPECT_EQ(format->text(), QStringLiteral("'mv'yymmdd"));
    // A paste keeps those characters but not its line breaks.
    format->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("'mv'\r\nyy?mmdd"));
    format->paste();
    EXPECT_EQ(format->text(), QStringLiteral("'mv'yy?mmdd"));
    format->setText(QStringLiteral("x"));
    QTest::mouseClick(child<QPushButton>(*dialog, "SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(format->text(), QStringLiteral("'mv'yymmdd"));
}

TEST_F(CfgDialogTest, EnterInTheHeaderBoxMovesTheFocus)
{
    auto dialog = open();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    auto *header = child<TTemplateBox>(*dialog, "html_header");
    child<QTabWidget>(*dialog, "pgc_cfg")->setCurrentIndex(1);
    header->setFocus();
    QTest::keyClicks(header, QStringLiteral("x"));
    QTest::keyClick(header, Qt::Key_Return);
    EXPECT_EQ(dialog->HeaderTemplate(), QStringLiteral("x"));
    EXPECT_FALSE(header->hasFocus());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(CfgDialogTest, FooterResetReplacesAllThree)
{
    auto dialog = open();
    child<TTemplateBox>(*dialog, "html_footer1")->SetText(QStringLiteral("mine"));
    QTest::mouseClick(child<QPushButton>(*dialog, "sb_def_footer"), Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dialog->FooterTemplate(i), FromUtf8(DefaultFooters[i]));
}

TEST_F(CfgDialogTest, LoweringTheHistoryLengthCutsTheOldestNames)
{
    for (int i = 1; i <= 8; ++i)
        history.addItem(QStringLiteral("name%1.html").arg(i));
    auto dialog = open();
    auto *upDown = child<TUpDown>(*dialog, "ud_HisCount");
    for (int i = 0; i < 5; ++i)
        upDown->stepBy(-1);
    ASSERT_EQ(history.count(), 5);
    EXPECT_EQ(history.itemText(0), QStringLiteral("name1.html"));
    EXPECT_EQ(history.itemText(4), QStringLiteral("name5.html"));
    upDown->stepBy(1);
    EXPECT_EQ(history.count(), 5); // raising changes nothing
    upDown->setValue(2);           // typing does not cut
    EXPECT_EQ(history.count(), 5);
}

TEST_F(CfgDialogTest, AlwaysOnTopAppliesToTheMainWindow)
{
    auto dialog = open();
    auto *alwaysTop = child<QCheckBox>(*dialog, "cbx_AlwaysTop");
    mainWindow.show();
    QTest::mouseClick(alwaysTop, Qt::LeftButton);
    EXPECT_TRUE(mainWindow.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(mainWindow.isVisible());
    QTest::mouseClick(alwaysTop, Qt::LeftButton);
    EXPECT_FALSE(mainWindow.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(CfgDialogTest, StoredAlwaysOnTopIsAppliedAtLoad)
{
    WriteFileBytes(ini, "[AlwaysTop]\r\nChecked=1\r\n");
    auto dialog = open();
    EXPECT_TRUE(mainWindow.windowFlags() & Qt::WindowStaysOnTopHint);
    for (int opening = 0; opening < 2; ++opening) {
        dialog->show();
        EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        // Centred every time, not left where the flag change put it.
        const QPoint offCentre = dialog->frameGeometry().center() - dialog->screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << "," << offCentre.y();
        dialog->move(0, 0);
        dialog->hide();
    }
}

TEST_F(CfgDialogTest, AboutTabLinksOpenTheHomePageAndAMail)
{
    auto dialog = open();
    QStringList opened;
    const TTargetOpener previous = SetTargetOpener([&opened](const QString &target) { opened << target; });
    QTest::mouseClick(child<TLightLabel>(*dialog, "lbl_home"), Qt::LeftButton);
    QTest::mouseClick(child<TLightLabel>(*dialog, "lbl_mail"), Qt::LeftButton);
    SetTargetOpener(previous);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(opened[1].startsWith(QStringLiteral("mailto:")));
    EXPECT_FALSE(opened[1].startsWith(QStringLiteral("mailto: ")));
}
