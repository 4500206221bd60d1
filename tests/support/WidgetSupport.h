#pragma once

#include "support/TestSupport.h"

#include <QString>

class QColor;
class QImage;
class QWidget;

namespace kpx::test {

// Types each character as a key press carrying it, as QTest::keyClicks does
// for ASCII only.
void TypeText(QWidget *widget, const QString &text);

// A message's first line, the one that says how a run went.
QString FirstLine(const QString &text);

// The share of the picture's pixels in exactly this colour; of its outermost
// ring of pixels only, when asked.
double ShareInColour(const QImage &picture, const QColor &colour, bool ringOnly = false);

} // namespace kpx::test
