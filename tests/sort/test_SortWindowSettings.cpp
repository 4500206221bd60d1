#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include <QFontMetrics>

#include "SortWindowFixture.h"
#include "settings/file/SettingsLayout.h"
#include "sort/SortRow.h"

using namespace kpx;
using kpx::test::Movie;
using kpx::test::SortWindowTest;

namespace {

std::array<int, scColumnCount> SectionWidths(QHeaderView *header)
{
    std::array<int, scColumnCount> widths{};
    for (int column = 0; column < scColumnCount; ++column)
        widths[static_cast<size_t>(column)] = header->sectionSize(column);
    return widths;
}

// The design widths, but ＤＬ種類 as wide as its longest text needs.
std::array<int, scColumnCount> DefaultWidthsAt(const QFont &font)
{
    std::array<int, scColumnCount> widths = ini::SortGrid::DefaultWidths;
    widths[scDlKind] = std::max(widths[scDlKind], QFontMetrics(font).horizontalAdvance(QStringLiteral("ショートストリーミング")) + 6);
    return widths;
}

} // namespace

TEST_F(SortWindowTest, DraggedColumnWidthsAreKeptForTheNextOpening)
{
    Open({Movie("a")});
    EXPECT_EQ(SectionWidths(Header()), DefaultWidthsAt(Window->font()));

    QHeaderView *header = Header();
    const int y = header->height() / 2;
    const QPoint edge(header->sectionViewportPosition(scLinkName) + header->sectionSize(scLinkName) - 1, y);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header->viewport(), edge + QPoint(70, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(70, 0));
    ASSERT_EQ(header->sectionSize(scLinkName), 150);
    Window.reset();

    const std::string file = kpx::test::ReadFileBytes(SettingsFile);
    EXPECT_NE(file.find("[Sort_Grid]\r\nColWidth0=80\r\nColWidth1=110\r\nColWidth2=90\r\nColWidth3=150\r\n"),
              std::string::npos)
        << file;

    Open({Movie("a")});
    std::array<int, scColumnCount> expected = DefaultWidthsAt(Window->font());
    expected[scLinkName] = 150;
    EXPECT_EQ(SectionWidths(Header()), expected);
}

TEST_F(SortWindowTest, OnlyNumericColumnWidthKeysAreApplied)
{
    kpx::test::WriteFileBytes(SettingsFile, "[Sort_Grid]\r\n"
                                            "ColWidth0=120\r\n"
                                            "colwidth1=0x40\r\n"
                                            "ColWidth2=wide\r\n"
                                            "ColWidth8=300\r\n"
                                            "ColWidthX=300\r\n"
                                            "Width4=300\r\n"
                                            "ColWidth5=-20\r\n"
                                            "\r\n");
    Open({Movie("a")});
    std::array<int, scColumnCount> expected = ini::SortGrid::DefaultWidths;
    expected[scOrgName] = 120;
    expected[scCopyName] = 64;
    expected[scDlKind] = ini::SortGrid::MinWidth; // still wide enough to grab again
    EXPECT_EQ(SectionWidths(Header()), expected);
}

TEST_F(SortWindowTest, PlacementIsRestoredWithTheMaximizedState)
{
    Open({Movie("a")});
    const QRect normal(40, 50, 640, 300);
    Window->setGeometry(normal);
    Window.reset();
    Open({Movie("a")});
    EXPECT_EQ(Window->geometry(), normal);

    Window->showMaximized();
    Window.reset();
    EXPECT_NE(kpx::test::ReadFileBytes(SettingsFile).find("kpx_sortFrmState=2"), std::string::npos);
    Open({Movie("a")});
    EXPECT_TRUE(Window->isMaximized());
}
