#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>

#include "SettingsTestSupport.h"
#include "components/WindowFrame.h"
#include "settings/file/SettingsError.h"

using namespace kpx;
using namespace kpx::test;

namespace {

QPoint WorkAreaOrigin(const QWidget &window)
{
    return window.screen()->availableGeometry().topLeft();
}

std::string PlacementFile(const char *window, int left, int top, int right, int bottom, int state)
{
    const std::string name(window);
    return "[WindowPlacement]\r\n" + name + "Left=" + std::to_string(left) + "\r\n" + name + "Top=" + std::to_string(top)
           + "\r\n" + name + "Right=" + std::to_string(right) + "\r\n" + name + "Bottom=" + std::to_string(bottom)
           + "\r\n" + name + "State=" + std::to_string(state) + "\r\n\r\n";
}

} // namespace

TEST_F(SavePropTest, PlacementRoundTripsRectangleAndAllowedState)
{
    Window.setObjectName("kpx_sortFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled, TRestoreKind::AllowMinimize, TRestoreKind::AllowMaximize});
    const QRect normal(WorkAreaOrigin(Window) + QPoint(30, 40), QSize(300, 200));
    Window.setGeometry(normal);
    Window.show();
    Window.showMaximized();
    Props->Save();
    EXPECT_EQ(IniText(), PlacementFile("kpx_sortFrm", 30, 40, 330, 240, 2));

    QWidget restored;
    restored.setObjectName("kpx_sortFrm");
    TIniSaveProps *props = AddComponent(restored);
    props->SetRestorePlacement(Props->RestorePlacement());
    props->Load();
    EXPECT_TRUE(restored.isMaximized());
    EXPECT_EQ(restored.normalGeometry(), normal);
    EXPECT_FALSE(restored.isVisible());
}

TEST_F(SavePropTest, StateTheWindowDoesNotAllowOpensNormalAtTheStoredRectangle)
{
    Window.setObjectName("kpx_TagsFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled, TRestoreKind::AllowMinimize});
    for (const int state : {2, 7}) {
        WriteFileBytes(File, PlacementFile("kpx_TagsFrm", 10, 20, 410, 320, state));
        Window.setWindowState(Qt::WindowMinimized);
        Props->Load();
        EXPECT_EQ(Window.windowState(), Qt::WindowNoState) << state;
        EXPECT_EQ(Window.geometry(), QRect(WorkAreaOrigin(Window) + QPoint(10, 20), QSize(400, 300)));
    }
    WriteFileBytes(File, PlacementFile("kpx_TagsFrm", 10, 20, 410, 320, 1));
    Props->Load();
    EXPECT_TRUE(Window.isMinimized());
}

TEST_F(SavePropTest, IncompleteOrImpossiblePlacementLeavesTheWindowAlone)
{
    Window.setObjectName("kpx_MainFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled});
    const QRect before = Window.geometry();
    std::string fourKeys = PlacementFile("kpx_MainFrm", 10, 20, 410, 320, 0);
    fourKeys.erase(fourKeys.find("kpx_MainFrmState"));
    for (const std::string &file : {fourKeys, PlacementFile("kpx_MainFrm", 400, 20, 10, 320, 0),
                                    PlacementFile("kpx_MainFrm", -2147483647, 0, 2147483647, 300, 0)}) {
        WriteFileBytes(File, file);
        Props->Load();
        EXPECT_EQ(Window.geometry(), before) << file;
        EXPECT_FALSE(Window.testAttribute(Qt::WA_Moved));
    }
}

// A stored placement on the screen, frame included, is used as it is; one
// off it moves the least distance onto it; one larger shrinks to fit.
TEST_F(SavePropTest, PlacementOnTheScreenIsKeptAndOneOffItMovesTheLeastDistance)
{
    Window.setObjectName("kpx_sortFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled});
    const QRect area = Window.screen()->availableGeometry();
    const QRect room = area.marginsRemoved(FrameMargins(&Window)); // for the client area
    const QPoint edge(room.width() - 400, room.height() - 300);    // of a 400 x 300 window at the bottom right
    const QPoint cases[][2] = {
        // stored, shown (from the room's corner)
        {{0, 0}, {0, 0}},       {edge, edge},
        {{-50, 120}, {0, 120}}, {{edge.x() + 30, 120}, {edge.x(), 120}},
        {{200, -10}, {200, 0}}, {{200, edge.y() + 70}, {200, edge.y()}},
        {{50000, 50000}, edge}, // from a larger monitor
    };
    for (const auto &[stored, shown] : cases) {
        const QPoint at = room.topLeft() - area.topLeft() + stored;
        WriteFileBytes(File, PlacementFile("kpx_sortFrm", at.x(), at.y(), at.x() + 400, at.y() + 300, 0));
        Props->Load();
        EXPECT_EQ(Window.geometry(), QRect(room.topLeft() + shown, QSize(400, 300))) << stored.x() << "," << stored.y();
    }
    WriteFileBytes(File, PlacementFile("kpx_sortFrm", -10, -10, room.width() + 90, 300, 0));
    Props->Load();
    EXPECT_EQ(Window.geometry(), QRect(room.topLeft(), QSize(room.width(), 310)));
}

TEST_F(SavePropTest, MinimizedApplicationIsSavedAsMinimizedForTheMainWindowOnly)
{
    Window.setObjectName("kpx_MainFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled, TRestoreKind::AllowMinimize});
    Window.show();
    Props->IsApplicationMinimized = [] { return true; };
    Props->Save();
    EXPECT_NE(IniText().find("kpx_MainFrmState=0"), std::string::npos);
    Props->SetOwnerIsMainWindow(true);
    Props->Save();
    EXPECT_NE(IniText().find("kpx_MainFrmState=1"), std::string::npos);

    QWidget second;
    second.show();
    Window.showMinimized();
    EXPECT_FALSE(AllTopLevelWindowsMinimized());
    second.showMinimized();
    EXPECT_TRUE(AllTopLevelWindowsMinimized());
}

TEST_F(SavePropTest, PlacementNeedsATopLevelOwner)
{
    QWidget child(&Window);
    TIniSaveProps *props = AddComponent(child);
    try {
        props->SetRestorePlacement({TRestoreKind::Enabled});
        FAIL() << "placement accepted for a child widget";
    } catch (const TSettingsError &error) {
        EXPECT_EQ(error.Message(), QStringLiteral(u"Owner が TForm でないと設定できません"));
    }
    EXPECT_EQ(props->RestorePlacement(), TRestorePlacement());
    props->SetRestorePlacement({TRestoreKind::AllowMaximize});
    EXPECT_TRUE(props->RestorePlacement().Contains(TRestoreKind::AllowMaximize));
}

TEST_F(SavePropTest, AutomaticLoadOnFirstShowAndSaveOnClose)
{
    WriteIni("[S]\r\nK=stored\r\n");
    QWidget automatic, manual;
    QLineEdit autoEdit(&automatic), manualEdit(&manual);
    TIniSaveProps *autoProps = AddComponent(automatic);
    autoProps->SetAutoLoad(true);
    autoProps->SetAutoSave(true);
    autoProps->Props().Add(&autoEdit, "Text", "S", "K");
    AddComponent(manual)->Props().Add(&manualEdit, "Text", "S", "K");

    manual.show();
    automatic.show();
    EXPECT_EQ(manualEdit.text(), "");
    EXPECT_EQ(autoEdit.text(), "stored");
    manualEdit.setText("manual");
    manual.close();
    EXPECT_EQ(IniText(), "[S]\r\nK=stored\r\n");
    autoEdit.setText("closed");
    automatic.close();
    EXPECT_EQ(IniText(), "[S]\r\nK=closed\r\n\r\n");
}
