#include "support/WidgetSupport.h"

#include <QColor>
#include <QImage>
#include <QTest>

namespace kpx::test {

void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString FirstLine(const QString &text)
{
    return text.section(QStringLiteral("\r\n"), 0, 0);
}

double ShareInColour(const QImage &picture, const QColor &colour, bool ringOnly)
{
    int counted = 0;
    int matching = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            if (ringOnly && x > 0 && y > 0 && x < picture.width() - 1 && y < picture.height() - 1)
                continue;
            ++counted;
            matching += picture.pixel(x, y) == colour.rgb() ? 1 : 0;
        }
    return counted == 0 ? 0.0 : double(matching) / counted;
}

} // namespace kpx::test
