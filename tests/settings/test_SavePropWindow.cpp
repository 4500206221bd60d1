#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScreen>

#include "SettingsTestSupport.h"
#include "components/WindowFrame.h"
#include "settings/SettingsError.h"

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

// Where a stored placement brings the window: as stored when it lies on the
// screen with its frame, else moved the least distance that puts it there.
TEST_F(SavePropTest, PlacementOnTheScreenIsKeptAndOneOffItMovesTheLeastDistance)
{
    Window.setObjectName("kpx_sortFrm");
    Props->SetRestorePlacement({TRestoreKind::Enabled});
    const QRect area = Window.screen()->availableGeometry();
    // Where the client area of a window wholly on the screen can lie.
    const QRect room = area.marginsRemoved(FrameMargins(&Window));
    const int right = room.width() - 400; // a 400 x 300 window at the right edge
    const int bottom = room.height() - 300;
    const struct
    {
        QPoint stored; // from the room's corner
        QPoint shown;
    } cases[] = {
        {{0, 0}, {0, 0}},
        {{right, 100}, {right, 100}},
        {{100, bottom}, {100, bottom}},
        {{right, bottom}, {right, bottom}},
        {{-50, 120}, {0, 120}},
        {{right + 30, 120}, {right, 120}},
        {{200, -10}, {200, 0}},
        {{200, bottom + 70}, {200, bottom}},
        {{50000, 50000}, {right, bottom}}, // from a larger monitor: its nearest corner
        {{-900, 200}, {0, 200}},
    };
    const QPoint corner = room.topLeft() - area.topLeft();
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stored.x() << "," << c.stored.y());
        const QPoint stored = corner + c.stored;
        WriteFileBytes(File,
                       PlacementFile("kpx_sortFrm", stored.x(), stored.y(), stored.x() + 400, stored.y() + 300, 0));
        Props->Load();
        EXPECT_EQ(Window.geometry(), QRect(room.topLeft() + c.shown, QSize(400, 300)));
    }
    // Larger than the screen: as large as it.
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
    } catch (const SettingsError &error) {
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
