#pragma once

#include <QString>
#include <QTest>

#include "settings/AppOptions.h"

namespace kpx::test {

// Options the tag windows read, set directly by each test.
class TFakeAppOptions : public TAppOptions
{
public:
    bool AlwaysTopValue = false;
    bool AutoCompleteValue = true;

    bool AlwaysTop() const override { return AlwaysTopValue; }
    bool LowerCase() const override { return false; }
    bool AutoComplete() const override { return AutoCompleteValue; }
    int HistoryCount() const override { return 10; }
    int OverwriteIndex() const override { return 0; }
    QString RenamePattern() const override { return {}; }
    QString HeaderTemplate() const override { return {}; }
    QString FooterTemplate(int) const override { return {}; }
};

// Types each character as a key press carrying it, as QTest::keyClicks does
// for Latin-1 only.
inline void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace kpx::test
