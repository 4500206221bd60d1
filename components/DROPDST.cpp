#include "components/DROPDST.h"

#include <algorithm>
#include <exception>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "components/MessageDialogs.h"

namespace kpx {

namespace {

bool IsWindow(WId window)
{
    return QWidget::find(window) != nullptr;
}

bool IsFileDragOrDrop(const QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    const QMimeData *data = static_cast<const QDropEvent *>(event)->mimeData();
    if (!data)
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

QStringList DroppedFiles(const QMimeData &data)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

TDropDst::TDropDst(QObject *owner)
    : TControlHook(owner)
{
}

void TDropDst::SetAcceptDrop(bool accept)
{
    if (accept == FAcceptDrop)
        return;
    FAcceptDrop = accept;
    UpdateDragAccept();
}

void TDropDst::Loaded()
{
    TControlHook::Loaded();
    UpdateDragAccept();
}

void TDropDst::HandleChanged(THandleChange reason)
{
    TControlHook::HandleChanged(reason);
    UpdateDragAccept();
}

void TDropDst::UpdateDragAccept()
{
    // Neither 0 nor the new-window marker names a window, so a window that
    // awaits its first event is registered only once it has one.
    if (IsWindow(HookedWindow()))
        RegisterDropTarget(HookedWindow(), FAcceptDrop);
}

void TDropDst::RegisterDropTarget(WId window, bool accept)
{
    QWidget::find(window)->setAcceptDrops(accept);
}

bool TDropDst::MessageProc(QEvent *event)
{
    if (!FAcceptDrop || !IsFileDragOrDrop(event))
        return TControlHook::MessageProc(event);
    auto *drop = static_cast<QDropEvent *>(event);
    // The files are only read, so the drop is always a copy: a source that
    // proposed a move (Shift held) would delete the user's originals after an
    // accepted one. A source that cannot copy is refused.
    if (!drop->possibleActions().testFlag(Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    if (event->type() == QEvent::Drop)
        HandleFileDrop(*drop);
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    return true;
}

void TDropDst::HandleFileDrop(const QDropEvent &drop)
{
    // A failure in the handler must not escape into event dispatch; the drop
    // is finished either way and the hook stays.
    try {
        DoFileDrop(drop);
    } catch (const std::exception &error) {
        ReportApplicationError(this, QString::fromUtf8(error.what()));
    } catch (...) {
        ReportApplicationError(this, QStringLiteral("不明なエラーが発生しました。"));
    }
}

void TDropDst::DoFileDrop(const QDropEvent &drop)
{
    if (!FOnFileDrop)
        return;
    const QPoint point = drop.position().toPoint();
    FOnFileDrop(this, DroppedFiles(*drop.mimeData()), point.x(), point.y());
}

} // namespace kpx
