#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include <functional>

#include "components/MessageDialogs.h"
#include "sort/SortCellDelegate.h"
#include "sort/SortRow.h"
#include "SortWindowFixture.h"

using namespace kpx;
using kpx::test::Movie;
using kpx::test::SortWindowTest;

namespace {

std::vector<TRecFileData> Movies(std::initializer_list<std::string_view> names)
{
    std::vector<TRecFileData> entries;
    for (const std::string_view name : names)
        entries.push_back(Movie(name));
    return entries;
}

QStringList OrgNames(const TEntryList &list)
{
    QStringList names;
    for (const TRecFileData &entry : list.FEntries)
        names << Cp932ToQString(entry.OrgName);
    return names;
}

} // namespace

TEST_F(SortWindowTest, OpeningAndClosingLeavesTheEntryListUnchanged)
{
    TRecFileData movie = Movie("映画ａ.amc", 1234567);
    movie.CopyName = "mv0001.amc";
    movie.DlKind = 1;
    movie.SoundKind = 2;
    movie.NoVideo = true;
    movie.NativeName = "\xE6\x98\xA0\xE7\x94\xBB\xE2\x91\xA0.amc"; // not representable in CP932
    Open({movie, Movie("b.amc", 5)}, 1);
    List.FPageCount = 7; // a page layout the list must not touch

    EXPECT_EQ(Cell(0, scFileSize), QStringLiteral("1,234,567"));
    EXPECT_EQ(Cell(0, scDlKind), QStringLiteral("ショートストリーミング"));
    EXPECT_EQ(Cell(0, scSoundKind), QStringLiteral("なし"));
    EXPECT_EQ(Cell(0, scVideo), QStringLiteral("×"));
    EXPECT_EQ(Cell(1, scVideo), QStringLiteral("○"));

    Click("bbtn_close");
    EXPECT_FALSE(Window->isVisible());
    const TEntryList &list = List;
    ASSERT_EQ(list.FEntryCount, 2);
    ASSERT_EQ(list.FEntries.size(), 2u);
    const TRecFileData &back = list.FEntries[0];
    EXPECT_EQ(back.OrgName, movie.OrgName);
    EXPECT_EQ(back.CopyName, movie.CopyName);
    EXPECT_EQ(back.FileSize, 1234567);
    EXPECT_EQ(back.LinkName, movie.LinkName);
    EXPECT_EQ(back.SaveName, movie.SaveName);
    EXPECT_EQ(back.DlKind, 1);
    EXPECT_EQ(back.SoundKind, 2);
    EXPECT_TRUE(back.NoVideo);
    EXPECT_EQ(back.NativeName, movie.NativeName);
    EXPECT_EQ(list.FEntries[1].FileSize, 5);
    EXPECT_EQ(list.FPageItemCount, 1);
    EXPECT_EQ(list.FPageCount, 7);
}

TEST_F(SortWindowTest, SizesSortAsNumbersAndASecondClickReverses)
{
    Open({Movie("a", 10000), Movie("b", 9000), Movie("c", 123), Movie("d", 1000000), Movie("e", 3221225472)});
    ClickHeader(scFileSize);
    EXPECT_EQ(Column(scFileSize), QStringList({"123", "9,000", "10,000", "1,000,000", "3,221,225,472"}));
    ClickHeader(scFileSize);
    EXPECT_EQ(Column(scFileSize), QStringList({"3,221,225,472", "1,000,000", "10,000", "9,000", "123"}));
    Click("bbtn_close");
    EXPECT_EQ(List.FEntries.at(0).FileSize, 3221225472); // written back whole
}

TEST_F(SortWindowTest, TextsSortByTheirUnsignedCp932Bytes)
{
    // Unicode order would differ for "Ａ"/"あ" and "ｱ"/"漾"; signed bytes would put "z" last.
    Open(Movies({"漾", "あ", "ｱ", "z", "Ａ", "b", "B", "ba"}));
    ClickHeader(scOrgName);
    EXPECT_EQ(Column(scOrgName), QStringList({"B", "b", "ba", "z", "Ａ", "あ", "ｱ", "漾"}));
}

TEST_F(SortWindowTest, CodedColumnsSortByTheirDisplayTexts)
{
    std::vector<TRecFileData> entries = Movies({"a", "b", "c"});
    for (int i = 0; i < 3; ++i) {
        entries[static_cast<size_t>(i)].DlKind = i % 2 == 0 ? 0 : 1;
        entries[static_cast<size_t>(i)].SoundKind = 2 - i;
        entries[static_cast<size_t>(i)].NoVideo = i != 1;
    }
    // Each window's first click sorts ascending.
    Open(entries);
    ClickHeader(scDlKind);
    EXPECT_EQ(Column(scDlKind).first(), QStringLiteral("ショートストリーミング"));
    Open(entries);
    ClickHeader(scSoundKind);
    EXPECT_EQ(Column(scSoundKind), QStringList({"MP3", "QLREP", "なし"}));
    Open(entries);
    ClickHeader(scVideo);
    EXPECT_EQ(Column(scVideo), QStringList({"×", "×", "○"}));
}

TEST_F(SortWindowTest, EachClickReversesTheDirectionOfTheOneBeforeOnAnyColumn)
{
    std::vector<TRecFileData> entries = Movies({"c", "a", "b"});
    entries[0].NoVideo = true;
    Open(entries);
    ClickHeader(scLinkName);
    EXPECT_EQ(Column(scLinkName), QStringList({"a", "b", "c"}));
    ClickHeader(scVideo);
    EXPECT_EQ(Column(scVideo).first(), QStringLiteral("○"));
    EXPECT_EQ(Column(scVideo).last(), QStringLiteral("×"));
    ClickHeader(scOrgName);
    EXPECT_EQ(Column(scOrgName), QStringList({"a", "b", "c"}));
}

TEST_F(SortWindowTest, RowsWithEqualKeysEndUpWhereTheListPutsThem)
{
    std::vector<TRecFileData> three = Movies({"A", "B", "C"});
    for (TRecFileData &entry : three)
        entry.LinkName = "same";
    Open(three);
    ClickHeader(scLinkName);
    EXPECT_EQ(Column(scOrgName), QStringList({"C", "B", "A"}));

    std::vector<TRecFileData> four = Movies({"A", "B", "C", "D"});
    for (TRecFileData &entry : four)
        entry.FileSize = 42;
    Open(four);
    ClickHeader(scFileSize);
    EXPECT_EQ(Column(scOrgName), QStringList({"C", "D", "A", "B"}));
}

TEST_F(SortWindowTest, SortedRowsCarryTheirHiddenValuesBack)
{
    std::vector<TRecFileData> entries = Movies({"c", "a", "b"});
    entries[0].DlKind = 1;
    entries[0].SoundKind = 1;
    entries[0].NoVideo = true;
    Open(entries);
    ClickRow(1);
    ClickHeader(scOrgName);
    EXPECT_EQ(CurrentRow(), 1); // the selection keeps its row number, not its movie
    Window->close();

    EXPECT_EQ(OrgNames(List), QStringList({"a", "b", "c"}));
    const TRecFileData &moved = List.FEntries[2];
    EXPECT_EQ(moved.DlKind, 1);
    EXPECT_EQ(moved.SoundKind, 1);
    EXPECT_TRUE(moved.NoVideo);
    EXPECT_EQ(moved.NativeName, "c");
    EXPECT_EQ(List.FEntries[0].NativeName, "a");
}

TEST_F(SortWindowTest, MovesAtEitherEndDoNothing)
{
    Open(Movies({"a", "b", "c"}));
    QSignalSpy changes(Grid()->model(), &QAbstractItemModel::dataChanged);
    EXPECT_EQ(CurrentRow(), 0); // the first row is selected on opening
    EXPECT_FALSE(Button("sb_up")->isEnabled());
    Click("sb_up");
    ClickRow(2);
    EXPECT_FALSE(Button("sb_down")->isEnabled());
    EXPECT_TRUE(Button("sb_up")->isEnabled());
    Click("sb_down");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(Column(scOrgName), QStringList({"a", "b", "c"}));
    EXPECT_EQ(CurrentRow(), 2);
}

TEST_F(SortWindowTest, TheMovedMovieStaysSelected)
{
    Open(Movies({"a", "b", "c", "d"}));
    Click("sb_down");
    Click("sb_down");
    EXPECT_EQ(Column(scOrgName), QStringList({"b", "c", "a", "d"}));
    EXPECT_EQ(CurrentRow(), 2);
    Click("sb_up");
    EXPECT_EQ(Column(scOrgName), QStringList({"b", "a", "c", "d"}));
    EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(SortWindowTest, EscapeAlsoWritesTheNewOrderBack)
{
    Open(Movies({"a", "b"}));
    Click("sb_down");
    QTest::keyClick(Grid(), Qt::Key_Escape);
    EXPECT_FALSE(Window->isVisible());
    EXPECT_EQ(OrgNames(List), QStringList({"b", "a"}));
}

namespace {

// The colour painted in the empty right end of a row's last cell.
QColor RowColour(QTableView *grid, const QImage &image, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, scVideo));
    return image.pixelColor(cell.right() - 3, cell.center().y());
}

} // namespace

TEST_F(SortWindowTest, PageBandsFollowRowPositionsNotMovies)
{
    Open(Movies({"a", "b", "c", "d", "e", "f", "g", "h", "i"}), 3);
    const QColor base = Grid()->palette().color(QPalette::Base);
    const QColor yellow = TSortCellDelegate::PageBandColor;
    const QColor blue = TSortCellDelegate::SelectedColor;
    ASSERT_NE(base, yellow);

    ClickRow(4);
    QImage image = Grid()->viewport()->grab().toImage();
    const std::vector<QColor> expected = {yellow, yellow, yellow, base, blue, base, yellow, yellow, yellow};
    for (int row = 0; row < 9; ++row)
        EXPECT_EQ(RowColour(Grid(), image, row), expected[static_cast<size_t>(row)]) << "row " << row;

    ClickRow(0);
    Click("sb_down");
    Click("sb_down");
    Click("sb_down"); // "a" now opens the second page, and is selected
    image = Grid()->viewport()->grab().toImage();
    EXPECT_EQ(RowColour(Grid(), image, 0), yellow);
    EXPECT_EQ(RowColour(Grid(), image, 3), blue);
    EXPECT_EQ(RowColour(Grid(), image, 4), base);
    EXPECT_EQ(RowColour(Grid(), image, 6), yellow);
}

TEST_F(SortWindowTest, ABrokenPageSizeStillPaintsBands)
{
    Open(Movies({"a", "b", "c", "d"}), 0);
    ClickRow(3);
    const QImage image = Grid()->viewport()->grab().toImage();
    EXPECT_EQ(RowColour(Grid(), image, 0), TSortCellDelegate::PageBandColor);
    EXPECT_EQ(RowColour(Grid(), image, 1), Grid()->palette().color(QPalette::Base));
    EXPECT_EQ(RowColour(Grid(), image, 2), TSortCellDelegate::PageBandColor);
}

TEST_F(SortWindowTest, DeclinedConfirmationKeepsTheRow)
{
    Open(Movies({"a", "b"}));
    TMessageRecorder recorder(false);
    Click("sl_delete");
    ASSERT_EQ(recorder.Messages().size(), 1);
    EXPECT_EQ(recorder.Messages().first().Kind, TMsgKind::Confirmation);
    EXPECT_EQ(recorder.Messages().first().Text, QStringLiteral("この行のタグを削除してよろしいですか？"));
    EXPECT_EQ(Column(scOrgName), QStringList({"a", "b"}));
}

TEST_F(SortWindowTest, DeleteKeepsTheSelectionOnItsRowNumber)
{
    Open(Movies({"a", "b", "c", "d"}));
    TMessageRecorder recorder(true);
    ClickRow(1);
    Click("sl_delete");
    EXPECT_EQ(Column(scOrgName), QStringList({"a", "c", "d"}));
    EXPECT_EQ(CurrentRow(), 1);
    ClickRow(2);
    Click("sl_delete"); // the last row: the selection moves to the new last row
    EXPECT_EQ(Column(scOrgName), QStringList({"a", "c"}));
    EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(SortWindowTest, TheLastRemainingRowCannotBeDeleted)
{
    Open(Movies({"a", "b"}), 1);
    TMessageRecorder recorder(true);
    EXPECT_TRUE(Button("sl_delete")->isEnabled());
    Click("sl_delete");
    EXPECT_FALSE(Button("sl_delete")->isEnabled()); // one row left: a delete would do nothing
    Click("sl_delete");
    EXPECT_EQ(recorder.Messages().size(), 1);
    EXPECT_EQ(Column(scOrgName), QStringList({"b"}));
    Click("bbtn_close");
    EXPECT_EQ(List.FEntryCount, 1);
    EXPECT_EQ(OrgNames(List), QStringList({"b"}));
    EXPECT_EQ(List.FPageItemCount, 1);
    EXPECT_EQ(List.FPageCount, 2);
}

TEST_F(SortWindowTest, AlwaysOnTopFollowsTheOptionAndKeepsTheStoredPlacement)
{
    Open(Movies({"a"}));
    EXPECT_FALSE(Window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QRect placed(40, 50, 640, 300);
    Window->setGeometry(placed);
    Window.reset();

    Options.AlwaysTopValue = true;
    Open(Movies({"a"}));
    EXPECT_TRUE(Window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(Window->isVisible());
    EXPECT_EQ(Window->geometry(), placed);
}

TEST_F(SortWindowTest, CloseButtonKeepsItsDistanceFromTheRightEdge)
{
    Open(Movies({"a"}));
    EXPECT_EQ(Window->frameGeometry().size(), QSize(711, 352)); // the whole window, frame and all
    auto *close = Window->findChild<QPushButton *>(QStringLiteral("bbtn_close"));
    Window->resize(900, 400);
    EXPECT_EQ(close->x(), 800);
    Window->resize(500, 300);
    EXPECT_EQ(close->x(), 400);
}

TEST_F(SortWindowTest, ToolButtonsHavePictures)
{
    Open(Movies({"a"}));
    for (const char *name : {"sb_up", "sb_down", "sl_delete", "bbtn_close"})
        EXPECT_FALSE(Button(name)->icon().isNull()) << name;
}

TEST_F(SortWindowTest, WithNoHighlightedRowTheButtonsDoNothing)
{
    for (const char *button : {"sb_up", "sb_down", "sl_delete"}) {
        SCOPED_TRACE(button);
        Open(Movies({"a", "b", "c"}));
        TMessageRecorder recorder(true);
        ClickRow(1);
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          Grid()->visualRect(Grid()->model()->index(1, 0)).center()); // clears the highlight
        ASSERT_TRUE(Grid()->selectionModel()->selectedRows().isEmpty());
        EXPECT_FALSE(Button(button)->isEnabled());
        Click(button);
        EXPECT_EQ(Column(scOrgName), QStringList({"a", "b", "c"}));
        EXPECT_TRUE(recorder.Messages().isEmpty());
    }
}

// The grid's menu, however it is asked for, sorts as a header click does and
// offers the three buttons; the keyboard alone goes through it.
TEST_F(SortWindowTest, TheGridsMenuSortsByKeyboardAndOffersTheButtons)
{
    Open({Movie("a", 10000), Movie("b", 9000), Movie("c", 123)});
    QTableView *grid = Grid();
    grid->setFocus();
    const auto request = [](QWidget *to, QContextMenuEvent::Reason reason) {
        QContextMenuEvent event(reason, QPoint(1, 1), to->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(to, &event);
    };
    const std::function<void()> ways[] = {
        [grid] { QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier); },
        [grid] { QTest::keyClick(grid, Qt::Key_Menu); },
        [&] { request(grid, QContextMenuEvent::Keyboard); }, // as a platform turns the Menu key into
        [&] { request(grid->viewport(), QContextMenuEvent::Mouse); },
    };
    for (size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        ways[i]();
        ASSERT_NE(qobject_cast<QMenu *>(QApplication::activePopupWidget()), nullptr);
        // 並べ替え, then its third item: ファイルサイズ.
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(QApplication::activePopupWidget(), key);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(Column(scFileSize),
                  i % 2 == 0 ? QStringList({"123", "9,000", "10,000"}) : QStringList({"10,000", "9,000", "123"}));
    }
    QStringList captions;
    for (const QAction *item : Window->findChild<QMenu *>(QStringLiteral("MI_Sort"))->actions())
        captions << item->text();
    EXPECT_EQ(captions, QStringList({"元ファイル名", "コピー後ファイル名", "ファイルサイズ", "ＤＬリンク名",
                                     "保存ファイル名", "ＤＬ種類", "音声種類", "映像"}));

    ClickRow(0);
    const auto item = [this](const char *name) { return Window->findChild<QAction *>(QLatin1String(name)); };
    EXPECT_FALSE(item("MI_Up")->isEnabled());
    item("MI_Down")->trigger();
    EXPECT_EQ(Cell(1, scFileSize), QStringLiteral("10,000"));
    EXPECT_EQ(CurrentRow(), 1);
}
