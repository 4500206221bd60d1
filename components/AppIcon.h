// The program's icon, drawn in code. May touch: Qt's painting, nothing on disk.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kpx {

// The program's icon, drawn rather than shipped: a strip of film with a
// handset-sized frame, legible from 16 to 256 pixels.
QPixmap AppIconPixmap(int size);
QIcon AppIcon();

} // namespace kpx
