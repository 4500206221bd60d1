// The number every control of the tag windows carries. May touch: the control it is given.
#pragma once

#include <QObject>
#include <QVariant>

namespace kpx {

// The integer every control and menu item of the tag windows carries beside
// its name: a panel's entry index, a child's panel tag x 100 + kind code, a
// column item's column count.
inline int ControlTag(const QObject *control)
{
    return control->property("tag").toInt();
}

inline void SetControlTag(QObject *control, int tag)
{
    control->setProperty("tag", tag);
}

} // namespace kpx
