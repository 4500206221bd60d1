#include <gtest/gtest.h>

#include "tests/tags/TagTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include "components/MessageDialogs.h"
#include "pages/PageGenerator.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/IniStorage.h"
#include "tags/EntryStore.h"
#include "tags/PageTabStrip.h"
#include "tags/PreviewMarkup.h"
#include "tags/kpx_preview.h"
#include "tags/kpx_tags.h"
#include "text/Cp932.h"

using namespace kpx;

namespace {

TEST(PreviewMarkup, ADownloadBlockShowsAsALinkLineWithWhatItsDispositionSays)
{
    const struct
    {
        int dlKind, soundKind;
        bool noVideo;
        const char *says;
    } cases[] = {
        {0, 0, false, "ダウンロード / 音声 QLREP"},
        {1, 1, true, "ショートストリーミング / 音声 MP3 / 映像なし"},
        {0, 2, true, "ダウンロード / 音声 なし / 映像なし"},
    };
    for (const auto &c : cases) {
        TRecFileData movie;
        movie.CopyName = "clip.amc";
        movie.LinkName = Sjis("夏 <祭り> \"1\"");
        movie.FileSize = 123456;
        movie.DlKind = c.dlKind;
        movie.SoundKind = c.soundKind;
        movie.NoVideo = c.noVideo;
        QTextDocument shown;
        shown.setHtml(HandsetHtml(QStringLiteral("<p>top</p>") + Cp932ToQString(MakeMovieBlock(movie, "mov/"))));
        EXPECT_EQ(shown.toPlainText().trimmed().toStdString(),
                  std::string("top\n夏 <祭り> \"1\" (123,456byte)\n") + c.says);
        const QTextCharFormat link = shown.findBlockByLineNumber(1).begin().fragment().charFormat();
        EXPECT_EQ(link.anchorHref(), QStringLiteral("mov/clip.amc"));
    }
}

class PreviewTest : public ::testing::Test
{
protected:
    TEntryStore store;
    test::TempDir dir;
    const std::filesystem::path settingsFile = dir / "kpx_app.ini";
    TSettingsPathOverride settingsPath{QString::fromStdString(settingsFile.string())};
    TFixedOptions options;
    TMessageRecorder messages;
    std::unique_ptr<Tkpx_TagsFrm> window;

    PreviewTest()
    {
        options.HeaderValue = QString::fromUtf8(DefaultHeader);
        for (size_t i = 0; i < 3; ++i)
            options.FooterValues[i] = QString::fromUtf8(DefaultFooters[i]);
        for (int i = 0; i < 7; ++i) {
            TRecFileData movie;
            movie.CopyName = "movie" + std::to_string(i) + ".amc";
            movie.LinkName = movie.SaveName = "movie" + std::to_string(i);
            store.List.FEntries.push_back(movie);
        }
        store.List.FEntryCount = 7;
        store.List.FPageItemCount = 3;
        store.List.FPageCount = 3;
    }

    // As the main window builds.
    void Build()
    {
        window.reset();
        window = std::make_unique<Tkpx_TagsFrm>(store, options, nullptr);
        window->Build(QStringLiteral("ezmovie.html"));
    }
    // Then the preview opened from the menu.
    Tkpx_PreviewFrm *Open()
    {
        Build();
        window->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
        return window->findChild<Tkpx_PreviewFrm *>();
    }
    QTextBrowser *View(Tkpx_PreviewFrm *preview) const { return preview->findChild<QTextBrowser *>(); }
    TPageTabStrip *Tabs() const { return window->findChild<TPageTabStrip *>(); }
    QLineEdit *LinkBox(int position) const
    {
        return window->findChild<QLineEdit *>(QStringLiteral("TagItem%1edt_standby").arg(position));
    }

    void ClickLink(Tkpx_PreviewFrm *preview, const QString &text) const
    {
        QTextBrowser *view = View(preview);
        QTextCursor at = view->document()->find(text);
        ASSERT_FALSE(at.isNull()) << text.toStdString();
        at.setPosition(at.selectionStart() + 1);
        view->setTextCursor(at);
        view->ensureCursorVisible();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(at).center());
    }
};

TEST_F(PreviewTest, TheKeyboardOpensThePreviewAsTheMenuBarsThirdItemAndEscClosesIt)
{
    Build();
    const QList<QAction *> items = window->menuBar()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items.at(2)->text(), QStringLiteral("プレビュー"));

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    LinkBox(0)->setFocus();
    QTest::keyPress(LinkBox(0), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(LinkBox(0), Qt::Key_Alt);
    // Enter chooses the item there, the Enter-as-Tab rule of the window aside.
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return})
        QTest::keyClick(window->menuBar(), key);
    auto *preview = window->findChild<Tkpx_PreviewFrm *>();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("プレビュー"));
    EXPECT_EQ(preview->parentWidget(), window.get());
    EXPECT_EQ(View(preview)->viewport()->width(), 240);

    ASSERT_TRUE(QTest::qWaitFor([preview] { return QApplication::activeWindow() == preview; }));
    QTest::keyClick(View(preview), Qt::Key_Escape);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PreviewTest, ThePagesLinksMoveThePreviewAndTheTabOthersAreNotFollowed)
{
    Tkpx_PreviewFrm *preview = Open();
    ClickLink(preview, QStringLiteral("次へ"));
    EXPECT_EQ(Tabs()->CurrentIndex(), 1);
    EXPECT_EQ(preview->PageIndex(), 1);
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie3"));
    EXPECT_TRUE(preview->PageSource().contains(QStringLiteral("ezmovie 2<br>")));

    ClickLink(preview, QStringLiteral("movie4"));
    EXPECT_EQ(Tabs()->CurrentIndex(), 1);
    ClickLink(preview, QStringLiteral("次へ"));
    EXPECT_EQ(Tabs()->CurrentIndex(), 2);
    ClickLink(preview, QStringLiteral("前へ"));
    EXPECT_EQ(Tabs()->CurrentIndex(), 1);
    EXPECT_EQ(preview->PageIndex(), 1);
}

TEST_F(PreviewTest, PanelEditsAndTheListWindowShowInThePreview)
{
    Tkpx_PreviewFrm *preview = Open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    LinkBox(1)->setFocus();
    test::TypeText(LinkBox(1), QStringLiteral("新作"));
    QTest::keyClick(LinkBox(1), Qt::Key_Tab);
    EXPECT_TRUE(preview->PageSource().contains(QStringLiteral("standby=\"movie1新作 (0byte)\"")));
    window->findChild<QToolButton *>(QStringLiteral("TagItem2sb_Stream"))->click();
    EXPECT_TRUE(View(preview)->toPlainText().contains(QStringLiteral("ショートストリーミング")));

    QTimer::singleShot(0, [] {
        QWidget *list = QApplication::activeModalWidget();
        ASSERT_NE(list, nullptr);
        QTest::mouseClick(list->findChild<QToolButton *>(QStringLiteral("sl_delete")), Qt::LeftButton);
        list->close();
    });
    window->findChild<QAction *>(QStringLiteral("N1"))->trigger();
    EXPECT_FALSE(preview->PageSource().contains(QStringLiteral("data=movie0.amc")));
    EXPECT_TRUE(preview->PageSource().contains(QStringLiteral("data=movie3.amc")));
}

TEST_F(PreviewTest, TheWidthAndThePlacementSurviveARestart)
{
    const struct
    {
        int chosen;
        const char *stored;
        int reopened;
    } cases[] = {{320, "320", 320}, {480, "480", 480}, {320, "300", 240}, {480, "wide", 240}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        Tkpx_PreviewFrm *preview = Open();
        preview->findChild<QAction *>(QStringLiteral("MI_Width%1").arg(c.chosen))->trigger();
        EXPECT_EQ(View(preview)->viewport()->width(), c.chosen);
        preview->setGeometry(QRect(50, 60, preview->width(), 300));
        window.reset(); // as the program ends: the preview saves with its owner
        std::string ini = test::ReadFileBytes(settingsFile);
        EXPECT_NE(ini.find("[PreviewForm]\r\nLeft=50\r\nTop=60\r\n"), std::string::npos) << ini;
        const size_t width = ini.find("Width=" + std::to_string(c.chosen));
        ASSERT_NE(width, std::string::npos);
        ini.replace(width, ini.find("\r\n", width) - width, std::string("Width=") + c.stored);
        test::WriteFileBytes(settingsFile, ini);

        preview = Open();
        EXPECT_EQ(preview->PageWidth(), c.reopened);
        EXPECT_EQ(View(preview)->viewport()->width(), c.reopened);
        EXPECT_EQ(preview->geometry().topLeft(), QPoint(50, 60));
        EXPECT_EQ(preview->height(), 300);
        window.reset();
        test::WriteFileBytes(settingsFile, "");
    }
}

// Closing the page settings window takes its preview along; asked for again,
// the preview comes back where the user left it.
TEST_F(PreviewTest, ThePreviewClosesWithThePageSettingsWindowAndKeepsItsPlace)
{
    Tkpx_PreviewFrm *preview = Open();
    preview->move(preview->pos() + QPoint(30, 20));
    const QRect placed = preview->geometry();
    window->close();
    EXPECT_FALSE(preview->isVisible());
    window->show();
    window->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
    EXPECT_EQ(preview->geometry(), placed);
}

} // namespace
