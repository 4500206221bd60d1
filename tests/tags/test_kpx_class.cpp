#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include "pages/NumberFormat.h"
#include "tags/ControlTag.h"
#include "tags/EntryStore.h"
#include "tags/kpx_class.h"
#include "tests/tags/TagTestSupport.h"
#include "text/Cp932.h"

using namespace kpx;

namespace {

TRecFileData Movie(const char *linkName, const char *saveName, int dlKind = 0, int soundKind = 0, bool noVideo = false,
                   std::int64_t fileSize = 0)
{
    TRecFileData movie;
    movie.LinkName = Sjis(linkName);
    movie.SaveName = Sjis(saveName);
    movie.DlKind = dlKind;
    movie.SoundKind = soundKind;
    movie.NoVideo = noVideo;
    movie.FileSize = fileSize;
    return movie;
}

bool SameValues(const std::vector<TRecFileData> &a, const std::vector<TRecFileData> &b)
{
    const auto values = [](const TRecFileData &m) {
        return std::tie(m.LinkName, m.SaveName, m.DlKind, m.SoundKind, m.NoVideo, m.FileSize);
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](const TRecFileData &x, const TRecFileData &y) { return values(x) == values(y); });
}

class TagItemTest : public ::testing::Test
{
protected:
    TEntryStore store;
    TFixedOptions options;
    QWidget host;
    QLineEdit *elsewhere = new QLineEdit(&host); // takes the focus away from a panel
    TTagItem *panel = nullptr;

    void SetUp() override
    {
        store.List.FEntries = {Movie("one", "one.3g2"), Movie("two", "two.3g2", 1, 2, true, 1234567)};
        store.List.FEntryCount = 2;
        elsewhere->setGeometry(0, 150, 100, 20);
    }

    // The panel at `position` of the first page, showing that entry.
    void MakePanel(int position)
    {
        panel = new TTagItem(&host, store, options);
        panel->setObjectName(QStringLiteral("TagItem%1").arg(position));
        panel->SetTag(position);
        panel->SetRecFileData(store.List.FEntries.at(static_cast<size_t>(position)));
        panel->CreateControls();
    }

    void ShowActive()
    {
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    template <typename T>
    T *Child(const char *suffix) const
    {
        return panel->findChild<T *>(panel->objectName() + QLatin1String(suffix));
    }

    QLineEdit *LinkBox() const { return Child<QLineEdit>("edt_standby"); }
    QLineEdit *SaveBox() const { return Child<QLineEdit>("edt_dltitle"); }
    const TRecFileData &Stored(int index) const { return store.List.FEntries.at(static_cast<size_t>(index)); }
};

TEST_F(TagItemTest, BuildingShowsTheRecordAndStoresNothing)
{
    const std::vector<TRecFileData> before = store.List.FEntries;
    MakePanel(1);

    EXPECT_EQ(LinkBox()->text(), QStringLiteral("two"));
    EXPECT_EQ(LinkBox()->toolTip(), QStringLiteral("two"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("two.3g2"));
    EXPECT_FALSE(Child<QToolButton>("sb_DL")->isChecked());
    EXPECT_TRUE(Child<QToolButton>("sb_Stream")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("rb_none")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("cbx_NoPic")->isChecked());
    EXPECT_EQ(Child<QLabel>("stx_Size")->text(), QStringLiteral("1,234,567 Bytes"));
    EXPECT_EQ(Child<QLabel>("stx_no")->text(), QStringLiteral("2"));
    // Children carry the panel's tag x 100 plus their kind.
    EXPECT_EQ(ControlTag(Child<QLabel>("lbl_standby")), 100);
    EXPECT_EQ(ControlTag(Child<QLabel>("stx_no")), 113);
    EXPECT_EQ(panel->findChildren<QWidget *>().size(), 14);

    EXPECT_TRUE(SameValues(store.List.FEntries, before));
    EXPECT_TRUE(store.InputHistory.ContainsNoCase(QStringLiteral("two")));
    EXPECT_TRUE(store.InputHistory.ContainsNoCase(QStringLiteral("two.3g2")));
}

TEST_F(TagItemTest, EverySizeShowsWholeInTheSizeField)
{
    MakePanel(0);
    auto *size = Child<QLabel>("stx_Size");
    const QRect before = size->geometry();
    for (const std::int64_t bytes : {0LL, 999LL, 1234567LL, 99999999LL, 2147483647LL, 3221225472LL, 1099511627776LL}) {
        panel->LoadRecFileData(Movie("m", "m", 0, 0, false, bytes));
        SCOPED_TRACE(size->text().toStdString());
        EXPECT_EQ(size->text(), QString::fromStdString(FormatThousands(bytes)) + QStringLiteral(" Bytes"));
        EXPECT_LE(QFontMetrics(size->font()).horizontalAdvance(size->text()),
                  size->contentsRect().width() - size->indent());
        EXPECT_EQ(size->geometry(), before);
    }
    panel->LoadRecFileData(Movie("m", "m", 0, 0, false, 999));
    EXPECT_EQ(size->font().stretch(), QFont::Unstretched); // what fits is not condensed
}

TEST_F(TagItemTest, LoadingAnotherEntryStoresNothingAndKeepsThePosition)
{
    MakePanel(0);
    const std::vector<TRecFileData> before = store.List.FEntries;
    panel->SetTag(1);
    panel->LoadRecFileData(Movie("映画", "eiga.3g2", 1, 1, true, 0));

    EXPECT_EQ(LinkBox()->text(), QStringLiteral("映画"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("eiga.3g2")); // not overwritten by a mirror
    EXPECT_TRUE(Child<QToolButton>("sb_Stream")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("rb_mp3")->isChecked());
    EXPECT_EQ(Child<QLabel>("stx_Size")->text(), QStringLiteral("0 Bytes"));
    EXPECT_EQ(Child<QLabel>("stx_no")->text(), QStringLiteral("1"));
    EXPECT_TRUE(SameValues(store.List.FEntries, before));
    EXPECT_TRUE(store.InputHistory.ContainsNoCase(QStringLiteral("映画")));

    // Completion armed by a typed key must not act on a loaded text.
    QTest::keyClicks(LinkBox(), QStringLiteral("x"));
    panel->LoadRecFileData(Movie("on", "o"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("on"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("o"));

    // A garbled record shows no choice rather than a wrong one.
    panel->LoadRecFileData(Movie("x", "y", 7, -1));
    EXPECT_FALSE(Child<QToolButton>("sb_DL")->isChecked());
    EXPECT_FALSE(Child<QToolButton>("sb_Stream")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>("rb_qlrep")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>("rb_none")->isChecked());
}

TEST_F(TagItemTest, TheLinkNameMirrorsIntoTheSaveNameOnEveryKeystrokeButNotBack)
{
    options.AutoCompleteValue = false;
    MakePanel(0);
    LinkBox()->clear();
    for (const QChar c : QStringLiteral("ab映画")) {
        test::TypeText(LinkBox(), QString(c));
        EXPECT_EQ(SaveBox()->text(), LinkBox()->text());
    }
    QTest::keyClicks(SaveBox(), QStringLiteral(".3g2"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("ab映画.3g2"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("ab映画"));
}

TEST_F(TagItemTest, LeavingTheLinkBoxStoresBothNamesLeavingTheSaveBoxOnlyTheSaveName)
{
    MakePanel(0);
    ShowActive();

    LinkBox()->setFocus();
    LinkBox()->selectAll();
    test::TypeText(LinkBox(), QStringLiteral("映画"));
    EXPECT_EQ(Stored(0).LinkName, Sjis("one")); // not before the focus leaves
    elsewhere->setFocus();
    EXPECT_EQ(Stored(0).LinkName, Sjis("映画"));
    EXPECT_EQ(Stored(0).SaveName, Sjis("映画"));
    EXPECT_EQ(LinkBox()->toolTip(), QStringLiteral("映画"));
    EXPECT_EQ(SaveBox()->toolTip(), QStringLiteral("映画"));

    // Keys sent to the link box while the save box has the focus: only the
    // save box's value is confirmed when it is left.
    SaveBox()->setFocus();
    QTest::keyClicks(LinkBox(), QStringLiteral("2"));
    QTest::keyClicks(SaveBox(), QStringLiteral(".3g2"));
    elsewhere->setFocus();
    EXPECT_EQ(Stored(0).SaveName, Sjis("映画2.3g2"));
    EXPECT_EQ(Stored(0).LinkName, Sjis("映画"));
    EXPECT_EQ(Stored(1).LinkName, Sjis("two")); // other entries untouched
}

TEST_F(TagItemTest, NameBoxesTakeOneLineOfTextThatPagesCanHold)
{
    options.AutoCompleteValue = false;
    MakePanel(0);
    ShowActive();
    LinkBox()->setFocus();
    LinkBox()->clear();
    test::TypeText(LinkBox(), QStringLiteral("Resumé"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("Resum"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("Resum"));
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("é"))) << QToolTip::text().toStdString();
    QGuiApplication::clipboard()->setText(QStringLiteral(".3g2\n"));
    SaveBox()->paste();
    elsewhere->setFocus();
    EXPECT_EQ(Stored(0).LinkName, Sjis("Resum"));
    EXPECT_EQ(Stored(0).SaveName, Sjis("Resum.3g2"));
}

class CompletionTest : public TagItemTest
{
protected:
    void SetUp() override
    {
        TagItemTest::SetUp();
        store.InputHistory.Add(QStringLiteral("Abc"));
        store.InputHistory.Add(QStringLiteral("abd"));
        store.List.FEntries.at(0) = Movie("", "");
        MakePanel(0);
    }
};

TEST_F(CompletionTest, CompletesFromTheFirstHistoryEntryAndSelectsTheTail)
{
    QTest::keyClicks(LinkBox(), QStringLiteral("a"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("Abc"));
    EXPECT_EQ(LinkBox()->selectedText(), QStringLiteral("bc"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("Abc"));

    // A refused character leaves the completed tail selected for the next one.
    test::TypeText(LinkBox(), QStringLiteral("é"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("Abc"));
    EXPECT_EQ(LinkBox()->selectedText(), QStringLiteral("bc"));

    // The next character replaces the selected tail and completes again.
    QTest::keyClicks(LinkBox(), QStringLiteral("B"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("Abc"));
    EXPECT_EQ(LinkBox()->selectedText(), QStringLiteral("c"));
}

TEST_F(CompletionTest, EditingKeysDisarmItUntilTheNextCharacter)
{
    for (const Qt::Key editingKey : {Qt::Key_Backspace, Qt::Key_Delete}) {
        LinkBox()->clear();
        QTest::keyClicks(LinkBox(), QStringLiteral("a"));
        QTest::keyClick(LinkBox(), editingKey);
        EXPECT_EQ(LinkBox()->text(), QStringLiteral("A")) << editingKey;
        QTest::keyClicks(LinkBox(), QStringLiteral("b"));
        EXPECT_EQ(LinkBox()->text(), QStringLiteral("Abc")) << editingKey;
        EXPECT_EQ(LinkBox()->selectedText(), QStringLiteral("c")) << editingKey;
    }
    // An arrow key disarms as well: a paste after it is left as pasted.
    LinkBox()->clear();
    QTest::keyClick(LinkBox(), Qt::Key_Left);
    LinkBox()->insert(QStringLiteral("a"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("a"));
}

TEST_F(CompletionTest, TheSaveBoxCompletesOnItsOwn)
{
    QTest::keyClicks(SaveBox(), QStringLiteral("ABD"));
    EXPECT_EQ(SaveBox()->text(), QStringLiteral("abd"));
    EXPECT_TRUE(LinkBox()->text().isEmpty());
}

TEST_F(CompletionTest, NothingIsCompletedWhenTheOptionIsOff)
{
    options.AutoCompleteValue = false;
    QTest::keyClicks(LinkBox(), QStringLiteral("a"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("a"));
    // The option is read when typing, not when the panel was built.
    options.AutoCompleteValue = true;
    QTest::keyClicks(LinkBox(), QStringLiteral("b"));
    EXPECT_EQ(LinkBox()->text(), QStringLiteral("Abc"));
}

TEST_F(CompletionTest, AnEmptiedBoxStaysEmpty)
{
    ShowActive();
    LinkBox()->setFocus();
    QTest::keyClicks(LinkBox(), QStringLiteral("a"));
    LinkBox()->selectAll();
    QTest::keyClick(LinkBox(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(LinkBox()->text().isEmpty());
    EXPECT_TRUE(SaveBox()->text().isEmpty());
}

TEST_F(TagItemTest, ButtonsStoreAtOnce)
{
    MakePanel(0);
    ShowActive();
    auto *stream = Child<QToolButton>("sb_Stream");
    QTest::mouseClick(stream, Qt::LeftButton);
    EXPECT_EQ(Stored(0).DlKind, 1);

    // Clicking the button that is down keeps it down and stores again.
    store.List.FEntries.at(0).DlKind = 0;
    QTest::mouseClick(stream, Qt::LeftButton);
    EXPECT_TRUE(stream->isChecked());
    EXPECT_FALSE(Child<QToolButton>("sb_DL")->isChecked());
    EXPECT_EQ(Stored(0).DlKind, 1);

    QTest::mouseClick(Child<QRadioButton>("rb_mp3"), Qt::LeftButton);
    EXPECT_EQ(Stored(0).SoundKind, 1);
    QTest::mouseClick(Child<QRadioButton>("rb_none"), Qt::LeftButton);
    EXPECT_EQ(Stored(0).SoundKind, 2);
    QTest::mouseClick(Child<QCheckBox>("cbx_NoPic"), Qt::LeftButton);
    EXPECT_TRUE(Stored(0).NoVideo);
    QTest::mouseClick(Child<QCheckBox>("cbx_NoPic"), Qt::LeftButton);
    EXPECT_FALSE(Stored(0).NoVideo);
    EXPECT_EQ(Stored(1).DlKind, 1); // the other entry as it was
}

TEST_F(TagItemTest, APanelWhoseTagLiesOutsideTheListStoresNothing)
{
    MakePanel(1);
    ShowActive();
    const std::vector<TRecFileData> before = store.List.FEntries;
    for (const int outside : {2, -1}) {
        panel->SetTag(outside);
        QTest::mouseClick(Child<QToolButton>("sb_DL"), Qt::LeftButton);
        QTest::keyClicks(LinkBox(), QStringLiteral("x"));
        panel->RecFileDataChange(LinkBox());
    }
    EXPECT_TRUE(SameValues(store.List.FEntries, before));
}

} // namespace
