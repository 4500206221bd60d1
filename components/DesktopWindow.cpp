#include "components/DesktopWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "components/DesktopStyle.h"
#include "components/WindowFrame.h"

namespace kpx {

namespace {

QMenuBar *MenuBarOf(QWidget *window)
{
    return window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly);
}

// Watches one window: fits it on its screen as it is shown and once more
// when the window manager's frame becomes known, which on X11 is only after
// the window is mapped.
class TWindowKeeper : public QObject
{
public:
    explicit TWindowKeeper(QWidget *window)
        : QObject(window)
        , FWindow(window)
    {
        FSettled.setSingleShot(true);
        FSettled.setInterval(SettledMs);
        connect(&FSettled, &QTimer::timeout, this, [this] { Fit(); });
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != FWindow)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            FWindow->setAttribute(Qt::WA_KeyboardFocusChange);
            FShown.start();
            // Once the window's own show handling has sized and placed it (a
            // message box centres itself only then): moving it before would
            // keep it from centring.
            QTimer::singleShot(0, this, [this] { Fit(); });
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
        case QEvent::WindowActivate:
            // The window manager frames and may place the window a while
            // after it is mapped. While it reparents the window, Qt passes
            // through a position at the screen's corner for a moment: only
            // the place the window comes to rest at is fitted, or the window
            // would be pinned to that corner.
            if (FShown.isValid() && FShown.elapsed() < SettleMs)
                FSettled.start();
            break;
        case QEvent::Hide:
            FShown.invalidate();
            FSettled.stop();
            break;
        default:
            break;
        }
        return false;
    }

private:
    static constexpr qint64 SettleMs = 1000;
    static constexpr int SettledMs = 50;

    void Fit()
    {
        if (FWindow->isVisible())
            KeepOnScreen(FWindow);
    }

    QWidget *const FWindow;
    QElapsedTimer FShown;
    QTimer FSettled;
};

} // namespace

void EnterMenuBar(QMenuBar *menuBar)
{
    QWidget *window = menuBar->window();
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    // The menu bar's own way in: Alt pressed and released with nothing
    // between, as the keyboard sends it to the focused control.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(target, &override);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

void PrepareWindow(QWidget *window)
{
    UseDesktopStyle();
    new TWindowKeeper(window);
    QMenuBar *menuBar = MenuBarOf(window);
    if (!menuBar)
        return;
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
    QObject::connect(f10, &QShortcut::activated, menuBar, [menuBar] {
        // After the shortcut's own key handling is over, which would end the
        // menu bar's keyboard mode at once.
        QTimer::singleShot(0, menuBar, [menuBar] {
            if (!menuBar->activeAction())
                EnterMenuBar(menuBar);
        });
    });
}

} // namespace kpx
