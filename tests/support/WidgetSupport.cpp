#include "support/WidgetSupport.h"

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

} // namespace kpx::test
