#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "components/EnterAsTab.h"
#include "components/UpDown.h"

using namespace kpx;

namespace {

// A dialog whose default button would accept it on Enter, as dialogs do.
struct EnterDialog
{
    QDialog dialog;
    QLineEdit *first = new QLineEdit(&dialog);
    QPlainTextEdit *memo = new QPlainTextEdit(&dialog);
    QLineEdit *last = new QLineEdit(&dialog);
    QPushButton *ok = new QPushButton(QStringLiteral("OK"), &dialog);

    EnterDialog()
    {
        memo->setTabChangesFocus(true);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        new TEnterAsTab(&dialog);
        dialog.show();
        dialog.activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&dialog);
        first->setFocus();
    }
};

} // namespace

TEST(EnterAsTab, EnterMovesTheFocusAndNeverActsItself)
{
    EnterDialog d;
    QSignalSpy accepted(&d.dialog, &QDialog::accepted);
    QTest::keyClick(d.first, Qt::Key_Return);
    EXPECT_TRUE(d.memo->hasFocus());
    QTest::keyClick(d.memo, Qt::Key_Enter);
    EXPECT_TRUE(d.last->hasFocus());
    EXPECT_TRUE(d.memo->toPlainText().isEmpty()); // no line break typed
    EXPECT_EQ(accepted.count(), 0);
    QTest::keyClicks(d.last, QStringLiteral("ab"));
    EXPECT_EQ(d.last->text(), QStringLiteral("ab")); // other keys pass on
}

TEST(EnterAsTab, LeavesOtherWindowsAlone)
{
    EnterDialog d;
    QDialog other;
    auto *edit = new QPlainTextEdit(&other);
    other.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("\n"));
}

TEST(UpDown, ArrowStepsAreToldApartFromTyping)
{
    TUpDown upDown(QStringLiteral("ud_X"), QStringLiteral("edt_X"));
    upDown.setRange(1, 10);
    upDown.setValue(3);
    ASSERT_NE(upDown.findChild<QLineEdit *>(QStringLiteral("edt_X")), nullptr);
    QSignalSpy arrows(&upDown, &TUpDown::arrowClicked);
    upDown.stepBy(1);
    EXPECT_EQ(upDown.value(), 4);
    EXPECT_EQ(arrows.count(), 1);
    upDown.setValue(10);
    upDown.stepBy(1); // at the end: no wrap, nothing changes
    EXPECT_EQ(upDown.value(), 10);
    EXPECT_EQ(arrows.count(), 1);
    upDown.setValue(5);
    EXPECT_EQ(arrows.count(), 1);
}
