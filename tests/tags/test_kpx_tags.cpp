#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "components/MessageDialogs.h"
#include "pages/PageGenerator.h"
#include "settings/file/IniStorage.h"
#include "support/WidgetSupport.h"
#include "tags/ControlTag.h"
#include "tags/EntryStore.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_class.h"
#include "tags/kpx_tags.h"
#include "tests/tags/TagTestSupport.h"
#include "text/Cp932.h"

using namespace kpx;

namespace {

class TagsFrmTest : public ::testing::Test
{
protected:
    TEntryStore store;
    test::TempDir dir;
    const std::filesystem::path settingsFile = dir / "kpx_app.ini";
    TSettingsPathOverride settingsPath{QString::fromStdString(settingsFile.string())};
    TFixedOptions options;
    TMessageRecorder messages; // a box would wait for a click that never comes
    qsizetype expectedMessages = 0;
    std::unique_ptr<Tkpx_TagsFrm> window;

    void TearDown() override { EXPECT_EQ(messages.Messages().size(), expectedMessages); }

    // Entries "movie0", "movie1", ... paged as the main window pages them.
    void SetEntries(int movies, int perPage)
    {
        TEntryList &list = store.List;
        list.FEntries.clear();
        for (int i = 0; i < movies; ++i) {
            TRecFileData movie;
            movie.LinkName = "movie" + std::to_string(i);
            movie.SaveName = movie.LinkName + ".3g2";
            list.FEntries.push_back(movie);
        }
        list.FEntryCount = movies;
        LayOutPages(list, perPage);
    }

    // As the main window builds: the old window goes first, saving its settings.
    void Build(QSize screen = QSize(1366, 768))
    {
        window.reset();
        window = std::make_unique<Tkpx_TagsFrm>(store, options, nullptr);
        window->SetScreenArea(screen);
        window->Build(QStringLiteral("ezmovie.html"));
    }

    void Activate()
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TTagItem *Panel(int position) const
    {
        return window->findChild<TTagItem *>(QStringLiteral("TagItem%1").arg(position));
    }

    template <typename T>
    T *PanelChild(int position, const char *suffix) const
    {
        return window->findChild<T *>(QStringLiteral("TagItem%1").arg(position) + QLatin1String(suffix));
    }

    QLineEdit *LinkBox(int position) const { return PanelChild<QLineEdit>(position, "edt_standby"); }
    TPageTabStrip *Tabs() const { return window->findChild<TPageTabStrip *>(QStringLiteral("tbc_tags")); }

    void ClickTab(int index) const
    {
        QTest::mouseClick(Tabs(), Qt::LeftButton, Qt::NoModifier, Tabs()->TabRect(index).center());
    }

    void ChooseColumns(int columns) const
    {
        window->findChild<QAction *>(QStringLiteral("MI_Col%1").arg(columns))->trigger();
    }

    // Positions shown, by their number field; hidden ones are left out.
    QStringList ShownNumbers() const
    {
        QStringList numbers;
        for (int i = 0; i < store.List.FPageItemCount; ++i)
            if (!Panel(i)->isHidden())
                numbers.append(PanelChild<QLabel>(i, "stx_no")->text());
        return numbers;
    }
};

TEST_F(TagsFrmTest, BuildMakesOneTabPerPageAndOnePanelPerPosition)
{
    SetEntries(7, 3);
    Build();

    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->objectName(), QStringLiteral("kpx_TagsFrm"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ページ設定"));
    EXPECT_EQ(Tabs()->Tabs(), QStringList({QStringLiteral("ezmovie.html"), QStringLiteral("ezmovie02.html"),
                                           QStringLiteral("ezmovie03.html")}));
    EXPECT_EQ(window->PageNames(), PageFileNames("ezmovie.html", 3));
    EXPECT_EQ(Tabs()->CurrentIndex(), 0);
    EXPECT_EQ(ShownNumbers(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(LinkBox(2)->text(), QStringLiteral("movie2"));
    EXPECT_EQ(Panel(3), nullptr);
}

TEST_F(TagsFrmTest, EveryPageNumbersItsPositionsAndHidesThosePastTheLastEntry)
{
    SetEntries(7, 3);
    Build();

    ClickTab(1);
    EXPECT_EQ(ShownNumbers(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie3"));
    EXPECT_EQ(Panel(2)->Tag(), 5);

    ClickTab(2);
    EXPECT_EQ(ShownNumbers(), QStringList({"1"}));
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie6"));

    ClickTab(0);
    EXPECT_EQ(ShownNumbers(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(LinkBox(2)->text(), QStringLiteral("movie2"));
}

TEST_F(TagsFrmTest, FewerMoviesThanAPageHoldsShowOnlyTheirPanels)
{
    SetEntries(2, 5);
    Build();
    EXPECT_EQ(Tabs()->Count(), 1);
    EXPECT_EQ(ShownNumbers(), QStringList({"1", "2"}));
    EXPECT_TRUE(Panel(4)->isHidden());
}

TEST_F(TagsFrmTest, ATypedTextIsStoredBeforeThePageChanges)
{
    SetEntries(6, 3);
    Build();
    Activate();

    // Changing the page while the box keeps the focus.
    LinkBox(0)->setFocus();
    test::TypeText(LinkBox(0), QStringLiteral("新作"));
    Tabs()->SelectTab(1);
    EXPECT_EQ(store.List.FEntries.at(0).LinkName, Sjis("movie0新作"));
    EXPECT_EQ(store.List.FEntries.at(0).SaveName, Sjis("movie0新作"));
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie3"));

    // Clicking a tab, as the user does.
    LinkBox(1)->setFocus();
    QTest::keyClicks(LinkBox(1), QStringLiteral("!"));
    ClickTab(0);
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie0新作"));
    EXPECT_EQ(store.List.FEntries.at(4).LinkName, "movie4!");
}

TEST_F(TagsFrmTest, TheWindowShowsTheColumnsAndRowsThatFitTheScreenWithNoEmptyBand)
{
    const struct
    {
        int entries, perPage, columnsChosen;
        QSize screen;
        int columns, rowsShown;
        bool scrolls;
    } cases[] = {
        {20, 10, 1, {1366, 768}, 1, 4, true}, // (768 - 140) / 140 rows fit; the rest scroll
        {3, 3, 3, {1366, 768}, 3, 1, false},
        {4, 4, 2, {1366, 768}, 2, 2, false},
        {9, 9, 3, {1024, 768}, 2, 4, true},  // three columns need 1028 pixels and more
        {9, 9, 3, {910, 512}, 2, 2, true},   // 1366 x 768 at scale 1.5
        {10, 10, 3, {683, 384}, 1, 2, true}, // 1366 x 768 at scale 2
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.screen.width() * 10 + c.perPage);
        SetEntries(c.entries, c.perPage);
        Build(c.screen);
        ChooseColumns(c.columnsChosen);
        auto *scrollBox = window->findChild<QScrollArea *>(QStringLiteral("sbox_tags"));
        QTest::qWait(0); // let the layouts take the new size
        EXPECT_EQ(scrollBox->viewport()->size(), QSize(c.columns * 340 + 8, c.rowsShown * 140 + 8));
        EXPECT_EQ(scrollBox->verticalScrollBar()->maximum() > 0, c.scrolls);
        EXPECT_EQ(Panel(c.columns - 1)->pos(), QPoint((c.columns - 1) * 340 + 4, 4));
        EXPECT_EQ(window->ColCount(), c.columnsChosen); // the choice is kept for a larger screen
    }
}

TEST_F(TagsFrmTest, AColumnItemChecksItselfAndArrangesThePanels)
{
    SetEntries(3, 3);
    Build();
    EXPECT_EQ(window->ColCount(), 1);
    EXPECT_EQ(Panel(1)->pos(), QPoint(4, 144));

    ChooseColumns(2);
    EXPECT_EQ(window->ColCount(), 2);
    EXPECT_EQ(ControlTag(window->findChild<QMenu *>(QStringLiteral("MI_ColCnt"))), 2);
    EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("MI_Col2"))->isChecked());
    EXPECT_FALSE(window->findChild<QAction *>(QStringLiteral("MI_Col1"))->isChecked());
    EXPECT_EQ(Panel(1)->pos(), QPoint(344, 4));
    EXPECT_EQ(Panel(2)->pos(), QPoint(4, 144));
}

TEST_F(TagsFrmTest, EnterMovesTheFocusAndNeverPressesAButton)
{
    SetEntries(3, 3);
    Build();
    Activate();
    LinkBox(0)->setFocus();
    QTest::keyClick(LinkBox(0), Qt::Key_Return);
    EXPECT_TRUE(PanelChild<QLineEdit>(0, "edt_dltitle")->hasFocus());

    auto *close = window->findChild<QPushButton *>(QStringLiteral("bbtn_Close"));
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(close->hasFocus());
}

TEST_F(TagsFrmTest, ClosingOnlyHidesAndShowingAgainArranges)
{
    SetEntries(3, 3);
    Build();
    const QSize arranged = window->size();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("bbtn_Close")), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(window->PageNames().size(), 1u);

    window->resize(500, 500);
    window->show();
    EXPECT_EQ(window->size(), arranged);
    window->close(); // the title bar's close
    EXPECT_FALSE(window->isVisible());
}

TEST_F(TagsFrmTest, StaysOnTopOnlyWhenTheOptionSaysSo)
{
    SetEntries(1, 1);
    Build();
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    options.AlwaysTopValue = true;
    window->hide();
    window->show();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(TagsFrmTest, ACountBeyondTheListShowsWhatTheListHoldsWithoutAnError)
{
    SetEntries(4, 3);
    store.List.FEntryCount = 6; // a list shorter than its count
    Build();
    ClickTab(1);
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie3"));
    EXPECT_TRUE(Panel(0)->isVisible());
    EXPECT_FALSE(Panel(1)->isVisible()); // no entry 5 to show
    EXPECT_TRUE(window->isVisible());
    ClickTab(0);
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie0"));
}

TEST_F(TagsFrmTest, TheColumnCountSurvivesARebuildAndARestart)
{
    SetEntries(3, 3);
    Build();
    ChooseColumns(2);
    Build();
    EXPECT_EQ(window->ColCount(), 2);
    EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("MI_Col2"))->isChecked());
    EXPECT_EQ(Panel(1)->pos(), QPoint(344, 4));
    window.reset();
    EXPECT_NE(test::ReadFileBytes(settingsFile).find("[TagForm]\r\nColCount=2\r\n"), std::string::npos);

    test::WriteFileBytes(settingsFile, "[TagForm]\r\nColCount=3\r\n");
    Build();
    EXPECT_EQ(window->ColCount(), 3);
}

TEST_F(TagsFrmTest, AColumnCountTheMenuDoesNotOfferIsIgnored)
{
    SetEntries(3, 3);
    for (const char *value : {"0", "4", "-1", "two"}) {
        test::WriteFileBytes(settingsFile, std::string("[TagForm]\r\nColCount=") + value + "\r\n");
        Build();
        EXPECT_EQ(window->ColCount(), 1) << value;
        EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("MI_Col1"))->isChecked()) << value;
    }
}

TEST_F(TagsFrmTest, AStoredMinimizedWindowOpensNormalAtItsPlace)
{
    test::WriteFileBytes(settingsFile, "[WindowPlacement]\r\n"
                                       "kpx_TagsFrmLeft=30\r\nkpx_TagsFrmTop=40\r\n"
                                       "kpx_TagsFrmRight=430\r\nkpx_TagsFrmBottom=440\r\n"
                                       "kpx_TagsFrmState=1\r\n");
    SetEntries(3, 3);
    Build();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->geometry().topLeft(), QPoint(30, 40));
}

class ListWindowTest : public TagsFrmTest
{
protected:
    // Runs `inside` on the list window once it is up, then closes it.
    void OpenListWindow(std::function<void(QWidget *)> inside)
    {
        QTimer::singleShot(0, [inside] {
            QWidget *list = QApplication::activeModalWidget();
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->objectName(), QStringLiteral("kpx_sortFrm"));
            inside(list);
            list->close();
        });
        window->findChild<QAction *>(QStringLiteral("N1"))->trigger();
    }
};

TEST_F(ListWindowTest, AValueBeingTypedReachesTheListWindow)
{
    SetEntries(3, 3);
    Build();
    Activate();
    LinkBox(1)->setFocus();
    test::TypeText(LinkBox(1), QStringLiteral("新作"));
    OpenListWindow([](QWidget *) {});
    EXPECT_EQ(store.List.FEntries.at(1).LinkName, Sjis("movie1新作"));
    EXPECT_EQ(LinkBox(1)->text(), QStringLiteral("movie1新作"));
}

TEST_F(ListWindowTest, ThePanelsShowTheListAsTheListWindowLeftIt)
{
    SetEntries(4, 3);
    Build();
    expectedMessages = 1; // the delete's confirmation, answered yes
    OpenListWindow([](QWidget *list) {
        QTest::mouseClick(list->findChild<QToolButton *>(QStringLiteral("sl_delete")), Qt::LeftButton);
    });
    ASSERT_EQ(store.List.FEntryCount, 3);
    EXPECT_EQ(LinkBox(0)->text(), QStringLiteral("movie1"));

    // The pages stay as built: the second one has no movie left.
    EXPECT_EQ(Tabs()->Count(), 2);
    ClickTab(1);
    EXPECT_TRUE(ShownNumbers().isEmpty());
}

} // namespace
