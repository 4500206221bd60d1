// The program on a desktop: windows on the screen at every scale, the
// keyboard reaching everything, a name for every control a screen reader
// lands on. The DesktopScreen cases also run at scales
// 1.5 and 2 (tests/app/CMakeLists.txt) and under a window manager
// (scripts/screenshots.sh).

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "MainWindowFixture.h"
#include "app/PublishProgress.h"
#include "components/UpDown.h"
#include "components/WindowFrame.h"
#include "settings/WindowPlacement.h"
#include "sort/kpx_sort.h"
#include "tags/kpx_preview.h"
#include "tags/kpx_tags.h"

using namespace kpx;
using namespace kpx::test;

namespace {

// Waits until the window is drawn and, on a real desktop, framed.
void Shown(QWidget *window)
{
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(qEnvironmentVariableIsSet("DISPLAY") ? 600 : 0);
}

::testing::AssertionResult OnScreen(QWidget *window)
{
    const QRect area = AvailableArea(window);
    if (area.contains(window->frameGeometry()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << window->objectName().toStdString() << " at "
                                         << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
                                         << window->frameGeometry().width() << "x"
                                         << window->frameGeometry().height() << " leaves " << area.width() << "x"
                                         << area.height();
}

// Makes the window the one that takes keys, as a click on it does.
::testing::AssertionResult Activate(QWidget *window)
{
    // A window counts as active while a dialog it owns has the focus: wait
    // for the application's own answer.
    for (int i = 0; i < 100 && QApplication::activeWindow() != window; ++i) {
        window->activateWindow();
        QTest::qWait(10);
    }
    if (QApplication::activeWindow() == window)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << window->objectName().toStdString() << " never became active";
}

// The names of the controls that Tab reaches from the focused one, in order,
// until the focus comes back.
QStringList TabRound(QWidget *window)
{
    QStringList reached;
    QWidget *first = window->focusWidget();
    for (int i = 0; i < 100; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (!now || now == first)
            break;
        reached << now->objectName();
    }
    return reached;
}

// Shown with its window, or on a page of it (a tab not chosen now).
bool ShowsWithItsWindow(const QWidget *control)
{
    for (const QWidget *w = control; !w->isWindow(); w = w->parentWidget())
        if (w->isHidden() && !qobject_cast<const QStackedWidget *>(w->parentWidget()))
            return false;
    return true;
}

// The window's controls that Tab reaches and a screen reader would announce
// without a name; a button showing only a picture names itself to the pointer too.
QString Unnamed(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!(control->focusPolicy() & Qt::TabFocus) || control->window() != window || !ShowsWithItsWindow(control))
            continue;
        const auto *button = qobject_cast<QAbstractButton *>(control);
        if (QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).trimmed().isEmpty()
            || (button && button->text().isEmpty() && button->toolTip().isEmpty()))
            unnamed << control->objectName() + QLatin1Char(' ') + QLatin1String(control->metaObject()->className());
    }
    return unnamed.join(QStringLiteral(", "));
}

} // namespace

class DesktopScreen : public MainWindowTest
{
protected:
    TempDir Source;

    void SetUp() override
    {
        for (int i = 0; i < 12; ++i)
            WriteFileBytes(Source / ("m" + std::to_string(i) + ".amc"), "movie");
        AnswerFolder(FolderOf(Source));
        Click("bbtn_org_mov");
        Find<TUpDown>("ud_PageItemCnt")->setValue(10);
    }
    Tkpx_TagsFrm *Build()
    {
        Click("bbtn_pagecfg");
        return Main->PageSettingsWindow();
    }
};

TEST_F(DesktopScreen, EveryWindowLiesWithinTheScreen)
{
    Shown(Main.get());
    EXPECT_TRUE(OnScreen(Main.get()));

    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    tags->findChild<QAction *>(QStringLiteral("MI_Col3"))->trigger();
    Shown(tags);
    EXPECT_TRUE(OnScreen(tags)) << "three columns of ten";
    // Rebuilt with a stored top far down the screen: its bottom stays on it.
    tags->move(tags->x(), AvailableArea(tags).bottom() - 50);
    Click("bbtn_pagecfg");
    tags = Main->PageSettingsWindow();
    Shown(tags);
    EXPECT_TRUE(OnScreen(tags)) << "rebuilt";
    tags->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
    auto *preview = tags->findChild<QMainWindow *>(QStringLiteral("kpx_PreviewFrm"));
    ASSERT_NE(preview, nullptr);
    Shown(preview);
    EXPECT_TRUE(OnScreen(preview));
    EXPECT_EQ(preview->windowType(), Qt::Dialog); // kept with its owner by the desktop
    preview->close();

    // A placement stored on a larger monitor.
    Tkpx_sortFrm list(Main->Store().List, *Settings, tags);
    ApplyPlacement(list, {1500, 900, 2300, 1300, wsNormal}, {TRestoreKind::Enabled});
    Shown(&list);
    EXPECT_TRUE(OnScreen(&list));
    list.hide();

    Shown(Settings.get());
    EXPECT_TRUE(OnScreen(Settings.get()));
    Settings->hide();

    QFileDialog browser(Main.get(), QStringLiteral("フォルダを選択してください。"));
    PrepareFolderDialog(browser);
    for (const auto label : {QFileDialog::LookIn, QFileDialog::FileName, QFileDialog::FileType, QFileDialog::Accept,
                             QFileDialog::Reject})
        EXPECT_FALSE(browser.labelText(label).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
    EXPECT_EQ(browser.font(), Main->font()); // not the desktop's fixed-pitch default
    Shown(&browser);
    EXPECT_TRUE(OnScreen(&browser));
    browser.hide();

    qint64 now = 0;
    const TProgressClock previous = SetProgressClock([&now] { return now; });
    {
        TDelayedProgress progress(Main.get(), QStringLiteral("htmlファイル作成"));
        now = ProgressDelayMs;
        progress.Update(QStringLiteral("ページ 1/1\nm0.amc をコピーしています\n1.0 MB / 2.0 MB"), 1, 2);
        auto *dialog = qobject_cast<QWidget *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Shown(dialog);
        EXPECT_TRUE(OnScreen(dialog));
    }
    SetProgressClock(previous);

    const TMessageHandler recorder = SetMessageHandler(nullptr);
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        QWidget *box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        Shown(box);
        EXPECT_TRUE(OnScreen(box));
        seen = true;
        box->close();
    });
    ShowError(Main.get(), QStringLiteral("ファイル「%1」をコピーできませんでした。\r\nファイルが見つかりません。")
                              .arg(QString(QStringLiteral("/home/利用者/とても長いフォルダの名前/")).repeated(6)));
    SetMessageHandler(recorder);
    EXPECT_TRUE(seen);
}

TEST_F(DesktopScreen, AfterAnErrorBoxAndTheProgressDialogTheMainWindowTakesKeys)
{
    Shown(Main.get());
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    qint64 now = 0;
    const TProgressClock previous = SetProgressClock([&now] { return now; });
    {
        TDelayedProgress progress(Main.get(), QStringLiteral("htmlファイル作成"));
        const TMessageHandler recorder = SetMessageHandler(nullptr);
        // The box is left open a while; then the progress dialog appears,
        // takes the keyboard and goes when the run ends.
        QTimer::singleShot(0, [] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::qWait(100);
            box->close();
        });
        ShowError(Main.get(), QStringLiteral("ファイル「m0.amc」をコピーできませんでした。"));
        SetMessageHandler(recorder);
        now = ProgressDelayMs + 1000;
        progress.Update(QStringLiteral("ページ 1/1"), 1, 2);
        ASSERT_NE(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
    }
    SetProgressClock(previous);
    EXPECT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    EXPECT_EQ(QApplication::activeWindow(), Main.get());
}

TEST_F(DesktopScreen, TabReachesEveryControlAndTheFocusShowsFromTheStart)
{
    std::unique_ptr<Tkpx_sortFrm> list;
    const struct
    {
        std::function<QWidget *()> window;
        const char *first;
        QStringList reached;
    } cases[] = {
        {[this] {
             Click("bbtn_pagecfg"); // enables making pages
             Main->PageSettingsWindow()->hide();
             return Main.get();
         },
         "bbtn_org_mov",
         {"htmlname_history", "bbtn_diropenhtml", "bbtn_diropenmovie", "ud_PageItemCnt", "bbtn_pagecfg",
          "bbtn_makehtml", "bbtn_Close"}},
        {[this] { return Main->PageSettingsWindow(); }, "TagItem0edt_standby",
         {"TagItem0edt_dltitle", "TagItem0sb_DL", "TagItem0sb_Stream", "TagItem0rb_qlrep", "TagItem0cbx_NoPic",
          "TagItem1edt_standby", "TagItem9cbx_NoPic", "bbtn_Close", "tbc_tags"}},
        {[this, &list] {
             list = std::make_unique<Tkpx_sortFrm>(Main->Store().List, *Settings, Main->PageSettingsWindow());
             Shown(list.get());
             auto *grid = list->findChild<QTableView *>(QStringLiteral("sg_sort"));
             grid->setCurrentIndex(grid->model()->index(1, 0)); // a row that moves both ways
             return list.get();
         },
         "sg_sort",
         {"sb_up", "sb_down", "sl_delete", "bbtn_close"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.first);
        QWidget *window = c.window();
        Shown(window);
        ASSERT_TRUE(Activate(window));
        window->findChild<QWidget *>(QLatin1String(c.first))->setFocus();
        EXPECT_TRUE(window->testAttribute(Qt::WA_KeyboardFocusChange)); // the focus frame is drawn
        const QStringList round = TabRound(window);
        for (const QString &name : c.reached)
            EXPECT_TRUE(round.contains(name)) << name.toStdString() << " not in " << round.join(u' ').toStdString();
        EXPECT_FALSE(round.contains(QStringLiteral("sbox_tags")));
        window->hide();
    }
}

TEST_F(DesktopScreen, AltOrF10OpensTheMenuBarFromTheKeyboard)
{
    const struct
    {
        std::function<QMainWindow *()> window;
        Qt::Key key;
        Qt::Key opening;
        const char *opened; // the menu that opens, or the dialog the item opens
    } cases[] = {
        {[this] { return Main.get(); }, Qt::Key_Alt, Qt::Key_Down, "ファイル"},
        {[this] { return Main.get(); }, Qt::Key_F10, Qt::Key_Return, "ファイル"},
        {[this] { return Build(); }, Qt::Key_F10, Qt::Key_Right, "列数"},
        {[this] { return Main->PageSettingsWindow(); }, Qt::Key_Alt, Qt::Key_Right, "列数"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.opened);
        QMainWindow *window = c.window();
        Shown(window);
        ASSERT_TRUE(Activate(window));
        QMenuBar *bar = window->menuBar();
        // Alt carries itself as a modifier, as the desktop sends it.
        QTest::keyClick(QApplication::focusWidget(), c.key, c.key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
        QTest::qWait(0);
        EXPECT_TRUE(bar->hasFocus());
        ASSERT_NE(bar->activeAction(), nullptr);
        EXPECT_EQ(bar->activeAction(), bar->actions().constFirst());
        // and it shows, drawn in the highlight colour.
        const QImage item = bar->grab(bar->actionGeometry(bar->activeAction())).toImage();
        EXPECT_GT(ShareInColour(item, bar->palette().color(QPalette::Highlight)), 0.3);
        QTest::keyClick(bar, c.opening);
        if (c.opening == Qt::Key_Right)
            QTest::keyClick(bar, Qt::Key_Down);
        QTest::qWait(50);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), QString::fromUtf8(c.opened));
        menu->close();
        QTest::keyClick(bar, Qt::Key_Escape);
    }
}

TEST_F(DesktopScreen, PageSettingsAreOwnedByTheMainWindowAndHoldTheirTexts)
{
    Shown(Main.get());
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    Shown(tags);
    EXPECT_EQ(tags->windowType(), Qt::Dialog);
    EXPECT_EQ(tags->windowHandle()->transientParent(), Main->windowHandle());

    auto *spinner = Find<TUpDown>("ud_PageItemCnt");
    EXPECT_GE(spinner->width(), spinner->sizeHint().width()); // shows 10 whole
    EXPECT_LT(spinner->geometry().right(), Find<QPushButton>("bbtn_pagecfg")->x());
    auto *group = tags->findChild<QWidget *>(QStringLiteral("TagItem0gb_sound"));
    QRect before;
    for (const char *name : {"TagItem0rb_qlrep", "TagItem0rb_mp3", "TagItem0rb_none"}) {
        SCOPED_TRACE(name);
        auto *radio = tags->findChild<QWidget *>(QLatin1String(name));
        EXPECT_GE(radio->width(), radio->sizeHint().width());
        EXPECT_GE(radio->y(), group->contentsRect().top()); // below the group's title
        EXPECT_TRUE(group->rect().contains(radio->geometry()));
        EXPECT_FALSE(radio->geometry().intersects(before));
        before = radio->geometry();
    }
    EXPECT_LE(group->geometry().right(), group->parentWidget()->width());
}

// A placement keeps its place on the screen at any scale: the main window
// closed at 525, 413 at scale 1 opens there, or as near as the screen allows.
TEST_F(DesktopScreen, AWindowComesBackWhereItWasAtAnyScale)
{
    StopProgram();
    WriteFileBytes(SettingsDir / "kpx_app.ini",
                   "[WindowPlacement]\r\nkpx_MainFrmLeft=525\r\nkpx_MainFrmTop=413\r\n"
                   "kpx_MainFrmRight=981\r\nkpx_MainFrmBottom=637\r\nkpx_MainFrmState=0\r\n");
    StartProgram();
    Shown(Main.get());
    EXPECT_TRUE(OnScreen(Main.get()));
    const qreal scale = Main->screen()->devicePixelRatio();
    const QPoint stored =
        Main->screen()->availableGeometry().topLeft() + QPoint(qRound(525 / scale), qRound(413 / scale));
    const QRect area = AvailableArea(Main.get());
    const QRect frame = Main->frameGeometry();
    const QPoint inFrame = Main->geometry().topLeft() - frame.topLeft();
    // Each coordinate as stored, or at the edge it would reach past.
    const QRect wanted = frame.translated(stored - inFrame - frame.topLeft());
    EXPECT_EQ(Main->geometry().x(),
              wanted.right() <= area.right() ? stored.x() : area.right() - frame.width() + 1 + inFrame.x());
    EXPECT_EQ(Main->geometry().y(),
              wanted.bottom() <= area.bottom() ? stored.y() : area.bottom() - frame.height() + 1 + inFrame.y());

    // Saved and read again at this scale: the same place.
    Main->move(area.topLeft() + QPoint(40, 30));
    QTest::qWait(qEnvironmentVariableIsSet("DISPLAY") ? 600 : 0);
    const QPoint before = Main->geometry().topLeft();
    StartProgram();
    Shown(Main.get());
    EXPECT_EQ(Main->geometry().topLeft(), before);
}

TEST_F(DesktopScreen, EveryControlThatTakesTheFocusHasAName)
{
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    tags->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
    Tkpx_sortFrm list(Main->Store().List, *Settings, tags);
    list.show();
    Settings->show();
    QFileDialog browser(Main.get());
    PrepareFolderDialog(browser);
    browser.show();
    qint64 now = 0;
    const TProgressClock previous = SetProgressClock([&now] { return now; });
    TDelayedProgress progress(Main.get(), QStringLiteral("htmlファイル作成"));
    now = ProgressDelayMs;
    progress.Update(QStringLiteral("ページ 1/1"), 1, 2);
    SetProgressClock(previous);
    const QList<QWidget *> windows = {Main.get(),     tags,     tags->findChild<Tkpx_PreviewFrm *>(), &list,
                                      Settings.get(), &browser, QApplication::activeModalWidget()};
    for (QWidget *window : windows)
        EXPECT_EQ(Unnamed(window), QString()) << window->objectName().toStdString();
}
