#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include "components/MessageDialogs.h"
#include "components/WindowFont.h"

using namespace kpx;

namespace {

// What a real message box showed, read once its modal loop runs; `answer` then
// closes it.
struct TShownBox
{
    bool Seen = false;
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    Qt::TextFormat Format = Qt::AutoText;
    QStringList Buttons;
};

class TBoxWatcher
{
public:
    explicit TBoxWatcher(std::function<void(QMessageBox &)> answer)
    {
        FTimer.setSingleShot(true);
        QObject::connect(&FTimer, &QTimer::timeout, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            Shown = {true, box->windowTitle(), box->text(), box->icon(), box->textFormat(), {}};
            for (QAbstractButton *button : box->buttons())
                Shown.Buttons.append(button->text());
            Shown.Buttons.sort();
            answer(*box);
        });
        FTimer.start(0);
    }

    TShownBox Shown;

private:
    // Owned here so that a box that never opens leaves no timer behind.
    QTimer FTimer;
};

std::function<void(QMessageBox &)> ClickButton(const QString &text)
{
    return [text](QMessageBox &box) {
        for (QAbstractButton *button : box.buttons()) {
            if (button->text() == text)
                button->click();
        }
    };
}

} // namespace

TEST(MessageDialogs, NoticeBoxesCarryTheirCaptionIconAndOneOkButton)
{
    struct TCase
    {
        void (*show)(QWidget *, const QString &);
        QString caption;
        QMessageBox::Icon icon;
    };
    const TCase cases[] = {
        {ShowWarning, QStringLiteral("警告"), QMessageBox::Warning},
        {ShowError, QStringLiteral("エラー"), QMessageBox::Critical},
        {ShowInformation, QStringLiteral("情報"), QMessageBox::Information},
    };
    for (const TCase &c : cases) {
        TBoxWatcher watcher(ClickButton(QStringLiteral("OK")));
        c.show(nullptr, QStringLiteral("<b>a&b</b>"));
        EXPECT_TRUE(watcher.Shown.Seen) << c.caption.toStdString();
        EXPECT_EQ(watcher.Shown.Title, c.caption);
        EXPECT_EQ(watcher.Shown.Icon, c.icon);
        EXPECT_EQ(watcher.Shown.Buttons, QStringList{QStringLiteral("OK")});
        // The text is shown as given, never read as markup.
        EXPECT_EQ(watcher.Shown.Text, QStringLiteral("<b>a&b</b>"));
        EXPECT_EQ(watcher.Shown.Format, Qt::PlainText);
    }
}

TEST(MessageDialogs, ConfirmationAsksYesOrNo)
{
    const QString yes = QStringLiteral("はい(&Y)");
    const QString no = QStringLiteral("いいえ(&N)");
    {
        TBoxWatcher watcher(ClickButton(yes));
        EXPECT_TRUE(AskYesNo(nullptr, QStringLiteral("削除しますか？")));
        EXPECT_EQ(watcher.Shown.Title, QStringLiteral("確認"));
        EXPECT_EQ(watcher.Shown.Icon, QMessageBox::Question);
        EXPECT_EQ(watcher.Shown.Buttons, (QStringList{no, yes}));
    }
    {
        TBoxWatcher watcher(ClickButton(no));
        EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("削除しますか？")));
        EXPECT_TRUE(watcher.Shown.Seen);
    }
    {
        TBoxWatcher watcher([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Escape); });
        EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("削除しますか？")));
        EXPECT_TRUE(watcher.Shown.Seen);
    }
}

TEST(MessageDialogs, RecorderTakesTheBoxesAndAnswersQuestions)
{
    TMessageRecorder recorder(false);
    ShowWarning(nullptr, QStringLiteral("w"));
    ShowError(nullptr, QStringLiteral("e"));
    ShowInformation(nullptr, QStringLiteral("i"));
    EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("q1")));
    recorder.Answer = true;
    EXPECT_TRUE(AskYesNo(nullptr, QStringLiteral("q2")));
    ReportApplicationError(nullptr, QStringLiteral("failure text"));

    const QList<TMessageRecorder::TMessage> expected = {
        {TMsgKind::Warning, QStringLiteral("w")},
        {TMsgKind::Error, QStringLiteral("e")},
        {TMsgKind::Information, QStringLiteral("i")},
        {TMsgKind::Confirmation, QStringLiteral("q1")},
        {TMsgKind::Confirmation, QStringLiteral("q2")},
        {TMsgKind::Error, QStringLiteral("failure text")},
    };
    EXPECT_EQ(recorder.Messages(), expected);
}

TEST(MessageDialogs, RecorderPutsThePreviousHandlerBack)
{
    TMessageRecorder outer;
    {
        TMessageRecorder inner;
        ShowWarning(nullptr, QStringLiteral("inner"));
        EXPECT_EQ(inner.Messages().size(), 1);
    }
    ShowWarning(nullptr, QStringLiteral("outer"));
    ASSERT_EQ(outer.Messages().size(), 1);
    EXPECT_EQ(outer.Messages().front().Text, QStringLiteral("outer"));
}

TEST(MessageDialogs, LongLinesBreakBeforeAPathOrAfterPunctuationNeverBeforeAClosingMark)
{
    // One unit per character: the break points are what is under test.
    const auto width = [](const QString &text) { return static_cast<int>(text.size()); };
    const struct
    {
        const char *text;
        int maxWidth;
        QStringList lines;
    } cases[] = {
        {"短い文です。", 20, {"短い文です。"}},
        {"一行目\r\n二行目", 20, {"一行目", "二行目"}},
        {"フォルダ「/home/user/movies/」の名前には使えない文字があります。", 30,
         {"フォルダ", "「/home/user/movies/」の名前には使えない文", "字があります。"}},
        {"ファイルをコピーできませんでした、ディスクがいっぱいです。", 20,
         {"ファイルをコピーできませんでした、", "ディスクがいっぱいです。"}},
        // Never 「す。」 alone on the last line.
        {"あいうえおかきくけこさしすせそたちつてとなす。", 22, {"あいうえおかきくけこさしすせそたちつ", "てとなす。"}},
        {"あいうえおかきくけこさしすせそたちつてとなにす。", 22, {"あいうえおかきくけこさしすせそたちつて", "となにす。"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QStringList lines = WrapMessage(QString::fromUtf8(c.text), width, c.maxWidth);
        EXPECT_EQ(lines, c.lines);
        for (const QString &line : lines)
            EXPECT_LE(line.size(), c.maxWidth);
    }
}

TEST(MessageDialogs, BoxesUseTheProgramsFontAndShowEveryLineWhole)
{
    TBoxWatcher watcher([](QMessageBox &box) {
        EXPECT_EQ(box.font().family(), ProgramFont().resolve(box.font()).family());
        EXPECT_EQ(box.font().pixelSize(), 12);
        auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        const QFontMetrics metrics(label->font());
        for (const QString &line : box.text().split(QLatin1Char('\n')))
            EXPECT_LE(metrics.horizontalAdvance(line), label->width()) << line.toStdString();
        box.close();
    });
    ShowError(nullptr, QStringLiteral("「設定」ウィンドウの内容を保存できませんでした。\r\n設定ファイル /home/利用者/.config/"
                                      "Kinopage Lite/kpx_app.ini を保存できません: 書き込みが途中で終わりました"));
    EXPECT_TRUE(watcher.Shown.Seen);
}

TEST(MessageDialogs, AChoiceShowsItsButtonsAndTellsWhichWasPressed)
{
    const QStringList buttons = {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("すべて上書き(&A)"),
                                 QStringLiteral("すべてスキップ(&S)"), QStringLiteral("中止(&C)")};
    for (int pressed = 0; pressed < buttons.size(); ++pressed) {
        TBoxWatcher watcher(ClickButton(buttons.at(pressed)));
        EXPECT_EQ(AskChoice(nullptr, QStringLiteral("置き換えますか？"), buttons), pressed);
        EXPECT_EQ(watcher.Shown.Title, QStringLiteral("確認"));
        QStringList shown = buttons;
        shown.sort();
        EXPECT_EQ(watcher.Shown.Buttons, shown);
    }
}

TEST(MessageDialogs, ABoxOverAHiddenWindowIsCentredOnTheScreen)
{
    QWidget hidden; // a window saving its settings at program end
    hidden.setGeometry(0, 0, 396, 296);
    QPoint offCentre;
    TBoxWatcher watcher([&offCentre](QMessageBox &box) {
        offCentre = box.frameGeometry().center() - box.screen()->availableGeometry().center();
        box.close();
    });
    ShowError(&hidden, QStringLiteral("「設定」ウィンドウの内容を保存できませんでした。"));
    ASSERT_TRUE(watcher.Shown.Seen);
    EXPECT_LE(offCentre.manhattanLength(), 100) << offCentre.x() << "," << offCentre.y(); // not at the corner
}
