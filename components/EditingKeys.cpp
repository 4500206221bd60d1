#include "components/EditingKeys.h"

#include <Qt>

namespace kpx {

bool IsEditingKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Clear:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

} // namespace kpx
