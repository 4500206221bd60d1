// Files dropped from the desktop onto a window. May touch: the hooked window's drop events.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <QStringList>

#include "components/CTLHOOK.h"

class QDropEvent;

namespace kpx {

class TDropDst;

// Files dropped from the desktop: their paths in the order given and the drop
// point in client coordinates of the hooked window. The list lives for the
// call only.
using TFileDropEvent =
    std::function<void(TDropDst *sender, const QStringList &files, std::int32_t x, std::int32_t y)>;

// Makes the hooked window a target for files dragged from the desktop, keeps
// every new native window of the same widget registered, and reports each drop
// through OnFileDrop.
class TDropDst : public TControlHook
{
    Q_OBJECT

public:
    explicit TDropDst(QObject *owner);

    const TFileDropEvent &OnFileDrop() const { return FOnFileDrop; }
    void SetOnFileDrop(TFileDropEvent handler) { FOnFileDrop = std::move(handler); }
    bool AcceptDrop() const { return FAcceptDrop; }
    void SetAcceptDrop(bool accept);

    void Loaded() override;

protected:
    void HandleChanged(THandleChange reason) override;
    bool MessageProc(QEvent *event) override;

    // Registers (or withdraws) a live native window as a drop target.
    virtual void RegisterDropTarget(WId window, bool accept);

private:
    void UpdateDragAccept();
    void HandleFileDrop(const QDropEvent &drop);
    void DoFileDrop(const QDropEvent &drop);

    TFileDropEvent FOnFileDrop;
    bool FAcceptDrop = true;
};

} // namespace kpx
