#pragma once

#include "support/TestSupport.h"

class QString;
class QWidget;

namespace kpx::test {

// Types each character as a key press carrying it, as QTest::keyClicks does
// for ASCII only.
void TypeText(QWidget *widget, const QString &text);

} // namespace kpx::test
