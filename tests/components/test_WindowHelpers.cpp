#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include "components/DesktopWindow.h"
#include "components/EnterAsTab.h"
#include "components/PageTextValidator.h"
#include "components/UpDown.h"
#include "support/WidgetSupport.h"

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

TEST(PageText, LineBreaksAreDroppedAndCharactersCodePage932CannotHoldAreRefused)
{
    enum TInput { Typed, Pasted };
    const struct
    {
        const char16_t *before;
        int caret;
        TInput how;
        const char16_t *input;
        const char16_t *after;
        int caretAfter;
        const char16_t *refused; // named in the tooltip; null: none shown
    } cases[] = {
        {u"", 0, Pasted, u"a\r\nb\nc", u"abc", 3, nullptr},
        {u"XY", 1, Pasted, u"\na\rb\n", u"XabY", 3, nullptr},
        {u"", 0, Typed, u"映画〓①.html", u"映画〓①.html", 9, nullptr},
        {u"caf", 3, Typed, u"é.html", u"caf.html", 8, u"é"},
        {u"x", 1, Pasted, u"Resumé", u"x", 1, u"é"},
        {u"", 0, Pasted, u"😀a😀é\n", u"", 0, u"😀é"},
    };
    QLineEdit edit;
    RestrictToPageText(&edit);
    edit.show();
    const QString untouched = QStringLiteral("-");
    for (const auto &c : cases) {
        const QString input = QString::fromUtf16(c.input);
        edit.setText(QString::fromUtf16(c.before));
        edit.setCursorPosition(c.caret);
        QToolTip::showText(edit.mapToGlobal(QPoint()), untouched, &edit);
        if (c.how == Typed) {
            for (const QChar character : input)
                QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
        } else {
            QGuiApplication::clipboard()->setText(input);
            edit.paste();
        }
        EXPECT_EQ(edit.text(), QString::fromUtf16(c.after)) << input.toStdString();
        EXPECT_EQ(edit.cursorPosition(), c.caretAfter) << input.toStdString();
        if (c.refused)
            EXPECT_TRUE(QToolTip::text().contains(QString::fromUtf16(c.refused))) << QToolTip::text().toStdString();
        else
            EXPECT_EQ(QToolTip::text(), untouched) << input.toStdString();
    }
}

// Where the keyboard is shows as a frame in the highlight colour all round a
// focused button, toggle, check box or radio button, and only there.
TEST(DesktopStyle, KeyboardFocusIsAFrameInTheHighlightColour)
{
    QWidget window;
    auto *toggle = new QToolButton(&window);
    toggle->setCheckable(true);
    toggle->setFocusPolicy(Qt::StrongFocus);
    auto *elsewhere = new QLineEdit(&window);
    const QList<QWidget *> controls = {new QPushButton(QStringLiteral("閉じる"), &window), toggle,
                                       new QCheckBox(QStringLiteral("映像なし"), &window),
                                       new QRadioButton(QStringLiteral("QLREP"), &window)};
    for (int i = 0; i < controls.size(); ++i)
        controls.at(i)->setGeometry(8, 8 + 32 * i, 120, 24);
    PrepareWindow(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (QWidget *control : controls) {
        SCOPED_TRACE(control->metaObject()->className());
        const QColor highlight = control->palette().color(QPalette::Highlight);
        elsewhere->setFocus(Qt::TabFocusReason);
        EXPECT_LT(test::ShareInColour(control->grab().toImage(), highlight, true), 0.5);
        control->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(test::ShareInColour(control->grab().toImage(), highlight, true), 1.0);
    }
}
