#pragma once

#include "support/TestSupport.h"

#include <QString>

class QWidget;

namespace kpx::test {

// Types each character as a key press carrying it, as QTest::keyClicks does
// for ASCII only.
void TypeText(QWidget *widget, const QString &text);

// A message's first line, the one that says how a run went.
QString FirstLine(const QString &text);

} // namespace kpx::test
