#include "components/CTLHOOK.h"

#include <QEvent>

namespace kpx {

THookError::THookError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QWidget *FindOwnerForm(QObject *x)
{
    for (; x; x = x->parent()) {
        if (auto *widget = qobject_cast<QWidget *>(x))
            return widget->window();
    }
    return nullptr;
}

TControlHook::TControlHook(QObject *owner)
    : QObject(owner)
{
}

TControlHook::~TControlHook()
{
    SetHook(false);
}

void TControlHook::SetControl(QWidget *control)
{
    SetHook(false);
    FControl = control;
    SetHook(true);
}

void TControlHook::SetTarget(THookTarget target)
{
    SetHook(false);
    FTarget = target;
    SetHook(true);
}

void TControlHook::Loaded()
{
    SetControl(FControl);
}

QWidget *TControlHook::GetHookControl()
{
    if (FTarget == htForm)
        return FindOwnerForm(FControl ? static_cast<QObject *>(FControl.data()) : this);
    return FControl;
}

void TControlHook::SetHook(bool on)
{
    if (!on) {
        if (FHookedControl) {
            FHookedControl->removeEventFilter(this);
            FHookedWindow = 0;
            FHookedControl = nullptr;
        }
        return;
    }

    QWidget *control = GetHookControl();
    // winId() creates the native window when the widget has none yet.
    const WId window = control ? control->winId() : 0;
    if (window == 0) {
        if (FTarget == htForm)
            throw THookError(QStringLiteral("フック先を特定できません。"));
        return;
    }
    FHookedWindow = window;
    FHookedControl = control;
    connect(control, &QObject::destroyed, this, &TControlHook::Notification, Qt::UniqueConnection);
    control->installEventFilter(this);
}

void TControlHook::HandleChanged(THandleChange reason)
{
    FHookedWindow = reason == hcWindowGone ? 0 : FHookedControl->internalWinId();
}

bool TControlHook::MessageProc(QEvent *)
{
    return false;
}

bool TControlHook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FHookedControl)
        return QObject::eventFilter(watched, event);

    // internalWinId() looks without creating a window, unlike winId().
    if (event->type() == QEvent::WinIdChange) {
        if (FHookedControl->internalWinId() != 0)
            FHookedWindow = NewWindowMarker;
        else
            HandleChanged(hcWindowGone);
    } else if (FHookedWindow == NewWindowMarker && FHookedControl->internalWinId() != 0) {
        HandleChanged(hcWindowNew);
    }
    return MessageProc(event);
}

void TControlHook::Notification(QObject *component)
{
    // The widget is being torn down: forget it without touching its filters.
    if (component == FHookedControl) {
        HandleChanged(hcWindowGone);
        FHookedControl = nullptr;
    }
}

} // namespace kpx
