#pragma once

#include <QString>
#include <QTest>

#include "settings/FixedOptions.h"

namespace kpx::test {

// Types each character as a key press carrying it, as QTest::keyClicks does
// for Latin-1 only.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace kpx::test
