#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

#include "components/LtLabel.h"

using namespace kpx;

namespace {

class LightLabelTest : public ::testing::Test
{
protected:
    LightLabelTest()
    {
        FPreviousOpener = SetTargetOpener([this](const QString &target) { Opened.append(target); });
        Label.setText(QStringLiteral("キャプション"));
        Label.resize(120, 20);
    }

    ~LightLabelTest() override { SetTargetOpener(std::move(FPreviousOpener)); }

    // Distinct looks, so that each state can be told apart.
    void GiveDistinctLooks()
    {
        Label.SetLightColor(Qt::yellow);
        Label.SetClickColor(Qt::green);
        Label.SetDefaultColor(Qt::white);
    }

    void Enter()
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&Label, &enter);
    }

    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&Label, &leave);
    }

    bool Shows(const QColor &color, const TLabelFont &font) const
    {
        return Label.Color() == color && Label.CurrentFont() == font;
    }
    bool ShowsDefault() const { return Shows(Label.DefaultColor(), Label.DefaultFont()); }
    bool ShowsLight() const { return Shows(Label.LightColor(), Label.LightFont()); }
    bool ShowsClick() const { return Shows(Label.ClickColor(), Label.ClickFont()); }

    TLightLabel Label;
    QStringList Opened;

private:
    TTargetOpener FPreviousOpener;
};

} // namespace

TEST_F(LightLabelTest, StartsInTheDefaultLookOnButtonFace)
{
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    TLightLabel fresh;
    EXPECT_EQ(fresh.DefaultColor(), buttonFace);
    EXPECT_EQ(fresh.LightColor(), buttonFace);
    EXPECT_EQ(fresh.ClickColor(), buttonFace);
    EXPECT_TRUE(fresh.autoFillBackground());

    EXPECT_EQ(fresh.DefaultFont().Color, QColor(Qt::blue));
    EXPECT_FALSE(fresh.DefaultFont().Font.underline());
    EXPECT_EQ(fresh.LightFont().Color, QColor(Qt::blue));
    EXPECT_TRUE(fresh.LightFont().Font.underline());
    EXPECT_EQ(fresh.ClickFont().Color, QColor(Qt::red));
    EXPECT_FALSE(fresh.ClickFont().Font.underline());
    EXPECT_TRUE(fresh.Color() == fresh.DefaultColor() && fresh.CurrentFont() == fresh.DefaultFont());

    EXPECT_TRUE(fresh.LightEnabled() && fresh.DefaultEnabled() && fresh.ClickEnabled());
    EXPECT_EQ(fresh.JumpType(), jtCust);
    EXPECT_TRUE(fresh.JumpTo().isEmpty());
    EXPECT_FALSE(fresh.MouseIn());
}

TEST_F(LightLabelTest, ClickOpensTheTargetOfItsJumpType)
{
    struct TCase
    {
        TJumpType type;
        QString jumpTo;
        QString caption;
        QStringList opened;
    };
    const QString mail = QStringLiteral("user@example.jp");
    const QString web = QStringLiteral("http://example.jp/");
    const TCase cases[] = {
        {jtCust, web, QStringLiteral("c"), {web}},
        {jtHome, web, QStringLiteral("c"), {web}},
        {jtMail, mail, QStringLiteral("c"), {QStringLiteral("mailto:user@example.jp")}},
        {jtFile, QStringLiteral("C:/doc.txt"), QStringLiteral("c"), {QStringLiteral("file:///C:/doc.txt")}},
        {jtCaption, web, QStringLiteral("http://cap.jp/"), {QStringLiteral("http://cap.jp/")}},
        {jtCaption, QString(), QStringLiteral("http://cap.jp/"), {QStringLiteral("http://cap.jp/")}},
        {jtCaption, web, QString(), {}},
        {jtNone, web, QStringLiteral("c"), {}},
        {jtCust, QString(), QStringLiteral("c"), {}},
        {jtHome, QString(), QStringLiteral("c"), {}},
        {jtMail, QString(), QStringLiteral("c"), {}},
        {jtFile, QString(), QStringLiteral("c"), {}},
    };
    for (const TCase &c : cases) {
        Opened.clear();
        Label.SetJumpType(c.type);
        Label.SetJumpTo(c.jumpTo);
        Label.setText(c.caption);
        QSignalSpy clicked(&Label, &TLightLabel::clicked);
        QTest::mouseClick(&Label, Qt::LeftButton);
        EXPECT_EQ(Opened, c.opened) << "type " << int(c.type) << " to " << c.jumpTo.toStdString();
        EXPECT_EQ(clicked.count(), 1);
    }
}

TEST_F(LightLabelTest, JumpsBeforeReportingTheClick)
{
    Label.SetJumpTo(QStringLiteral("http://example.jp/"));
    qsizetype openedAtClick = -1;
    QObject::connect(&Label, &TLightLabel::clicked, [&] { openedAtClick = Opened.size(); });
    QTest::mouseClick(&Label, Qt::LeftButton);
    EXPECT_EQ(openedAtClick, 1);
}

TEST_F(LightLabelTest, OnlyALeftPressAndReleaseInsideIsAClick)
{
    Label.SetJumpTo(QStringLiteral("http://example.jp/"));
    QSignalSpy clicked(&Label, &TLightLabel::clicked);
    QTest::mouseClick(&Label, Qt::RightButton);
    QTest::mousePress(&Label, Qt::LeftButton);
    QTest::mouseRelease(&Label, Qt::LeftButton, {}, QPoint(500, 5));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(Opened.isEmpty());
}

TEST_F(LightLabelTest, ADoubleClickOpensTheTargetOnce)
{
    Label.SetJumpTo(QStringLiteral("http://example.jp/"));
    Label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Label));
    QSignalSpy clicked(&Label, &TLightLabel::clicked);
    // Through the window, as the platform delivers it: press, release, press, double-click, release.
    QTest::mouseDClick(Label.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Opened.size(), 1);
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(Label.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5), 1000);
    EXPECT_EQ(Opened.size(), 2); // the next single click opens again
}

TEST_F(LightLabelTest, LooksFollowThePointerAndTheButton)
{
    GiveDistinctLooks();
    QList<TLightLabel *> entered, left;
    Label.SetOnMouseEnter([&](TLightLabel *sender) { entered.append(sender); });
    Label.SetOnMouseLeave([&](TLightLabel *sender) { left.append(sender); });

    ASSERT_TRUE(ShowsDefault());
    Enter();
    EXPECT_TRUE(Label.MouseIn());
    EXPECT_TRUE(ShowsLight());
    EXPECT_EQ(entered, QList<TLightLabel *>{&Label});
    QTest::mousePress(&Label, Qt::LeftButton);
    EXPECT_TRUE(ShowsClick());
    QTest::mouseRelease(&Label, Qt::LeftButton);
    EXPECT_TRUE(ShowsLight());
    Leave();
    EXPECT_FALSE(Label.MouseIn());
    EXPECT_TRUE(ShowsDefault());
    EXPECT_EQ(left, QList<TLightLabel *>{&Label});

    // Released after the pointer has gone: back to rest.
    QTest::mousePress(&Label, Qt::RightButton);
    QTest::mouseRelease(&Label, Qt::RightButton);
    EXPECT_TRUE(ShowsDefault());
}

TEST_F(LightLabelTest, ReleaseInsideLightsTheLabelEvenWhenLightIsDisabled)
{
    GiveDistinctLooks();
    Label.SetLightEnabled(false);
    Enter();
    EXPECT_TRUE(Label.MouseIn());
    EXPECT_TRUE(ShowsDefault());
    QTest::mouseClick(&Label, Qt::LeftButton);
    EXPECT_TRUE(ShowsLight());
}

TEST_F(LightLabelTest, DisabledStatesKeepTheCurrentLook)
{
    GiveDistinctLooks();
    Label.SetClickEnabled(false);
    Label.SetDefaultEnabled(false);
    Enter();
    QTest::mousePress(&Label, Qt::LeftButton);
    EXPECT_TRUE(ShowsLight());
    Leave();
    EXPECT_TRUE(ShowsLight());
    // A release always ends in the look of where the pointer is.
    QTest::mouseRelease(&Label, Qt::LeftButton);
    EXPECT_TRUE(ShowsDefault());
}

TEST_F(LightLabelTest, DefaultLookChangesShowAtOnceOnlyWhenEnabled)
{
    GiveDistinctLooks();
    Enter();
    TLabelFont bold = Label.DefaultFont();
    bold.Font.setBold(true);

    Label.SetDefaultColor(Qt::cyan);
    EXPECT_EQ(Label.Color(), QColor(Qt::cyan));
    Label.SetDefaultFont(bold);
    EXPECT_EQ(Label.CurrentFont(), bold);

    Label.SetDefaultEnabled(false);
    Label.SetDefaultColor(Qt::magenta);
    bold.Color = Qt::darkGreen;
    Label.SetDefaultFont(bold);
    EXPECT_EQ(Label.Color(), QColor(Qt::cyan));
    EXPECT_NE(Label.CurrentFont(), bold);
    EXPECT_EQ(Label.DefaultColor(), QColor(Qt::magenta));
    EXPECT_EQ(Label.DefaultFont(), bold);
}

TEST_F(LightLabelTest, OtherStateSettingsWaitForTheirState)
{
    GiveDistinctLooks();
    TLabelFont big = Label.LightFont();
    big.Font.setPointSize(30);
    Label.SetLightFont(big);
    Label.SetClickFont(big);
    Label.SetLightColor(Qt::black);
    EXPECT_TRUE(ShowsDefault());

    // The label keeps copies: the caller's font stays the caller's.
    big.Font.setPointSize(8);
    EXPECT_EQ(Label.LightFont().Font.pointSize(), 30);
    EXPECT_EQ(Label.ClickFont().Font.pointSize(), 30);
}
