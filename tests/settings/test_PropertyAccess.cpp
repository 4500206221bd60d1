#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "SettingsTestSupport.h"
#include "settings/ObjectLines.h"
#include "settings/PropertyAccess.h"
#include "settings/RadioGroup.h"
#include "settings/file/SettingsLayout.h"

using namespace kpx;
using kpx::test::Sample;

namespace {

QString Resolved(const QObject &control, const char *name)
{
    const QMetaProperty property = FindDeclaredProperty(control, QString::fromLatin1(name));
    return property.isValid() ? QString::fromLatin1(property.name()) : QStringLiteral("-");
}

} // namespace

TEST(PropertyAccess, DeclaredNamesResolveOnTheControlsWindowsUse)
{
    QCheckBox check;
    QSpinBox spin;
    QSlider slider;
    QComboBox combo;
    QLineEdit edit;
    QPlainTextEdit text;
    TRadioGroup group;
    EXPECT_EQ(Resolved(check, "Checked"), "checked");
    EXPECT_EQ(Resolved(spin, "Position"), "value");
    EXPECT_EQ(Resolved(slider, "Position"), "value");
    EXPECT_EQ(Resolved(combo, "ItemIndex"), "currentIndex");
    EXPECT_EQ(Resolved(group, "ItemIndex"), "ItemIndex");
    EXPECT_EQ(Resolved(edit, "Text"), "text");
    EXPECT_EQ(Resolved(combo, "Text"), "currentText");
    EXPECT_EQ(Resolved(text, "Text"), "plainText");
    EXPECT_EQ(Resolved(edit, "echoMode"), "echoMode"); // any Q_PROPERTY by its own name
    EXPECT_EQ(Resolved(check, "Text"), "-");
    EXPECT_EQ(Resolved(edit, "Checked"), "-");
    EXPECT_EQ(Resolved(edit, "text "), "-");
}

TEST(PropertyAccess, KindFollowsTheMetaType)
{
    Sample sample;
    QLineEdit edit;
    QLabel label;
    const auto kind = [](const QObject &o, const char *name) {
        return PropertyKind(FindDeclaredProperty(o, QString::fromLatin1(name)));
    };
    EXPECT_EQ(kind(sample, "count"), pkOrdinal);
    EXPECT_EQ(kind(edit, "echoMode"), pkOrdinal);  // enumeration
    EXPECT_EQ(kind(label, "alignment"), pkOrdinal); // flags
    EXPECT_EQ(kind(edit, "frame"), pkOrdinal);      // bool
    EXPECT_EQ(kind(sample, "name"), pkString);
    EXPECT_EQ(kind(sample, "ratio"), pkFloat);
    EXPECT_EQ(kind(sample, "items"), pkObject);
    EXPECT_EQ(kind(label, "font"), pkObject);
    EXPECT_EQ(kind(sample, "child"), pkObject);
    EXPECT_EQ(kind(sample, "big"), pkNone);
    EXPECT_EQ(kind(sample, "readOnly"), pkNone);
    EXPECT_EQ(kind(label, "size"), pkNone);
    EXPECT_EQ(kind(label, "nothing"), pkNone);
}

TEST(RadioGroup, ItemIndexFollowsClicksAndIgnoresIndicesOfNoItem)
{
    TRadioGroup group(QStringLiteral(u"同名ファイルがあった場合"));
    group.SetItems({QStringLiteral(u"上書き確認する"), QStringLiteral(u"確認せずに上書き"), QStringLiteral(u"スキップする"),
                    QStringLiteral(u"警告後、実行しない")});
    QSignalSpy changes(&group, &TRadioGroup::ItemIndexChanged);
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(0);
    group.resize(300, 200);
    group.show();
    QRadioButton *third = group.findChildren<QRadioButton *>().at(2);
    QTest::mouseClick(third, Qt::LeftButton, {}, QPoint(6, third->height() / 2)); // on the indicator
    EXPECT_EQ(group.ItemIndex(), 2);
    group.SetItemIndex(4);
    group.SetItemIndex(-2);
    EXPECT_EQ(group.ItemIndex(), 2);
    group.SetItemIndex(-1);
    EXPECT_EQ(group.ItemIndex(), -1);
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes[0][0].toInt(), 0);
    EXPECT_EQ(changes[1][0].toInt(), 2);
    EXPECT_EQ(changes[2][0].toInt(), -1);
}

TEST(ObjectLines, ValuesRoundTripAndForeignLinesChangeNothing)
{
    const QStringList items{"a", "back\\slash\\n", "two\r\nlines", "", QStringLiteral(u"映画")};
    QVariant list = QStringList{"old"};
    ASSERT_TRUE(LinesToObject(ObjectToLines(QVariant(items)), list));
    EXPECT_EQ(list.toStringList(), items);

    QFont font(QStringLiteral("IPAGothic"), 15, QFont::Bold, true);
    QVariant fontValue = QFont();
    ASSERT_TRUE(LinesToObject(ObjectToLines(QVariant(font)), fontValue));
    EXPECT_EQ(fontValue.value<QFont>(), font);

    Sample source;
    source.name = QStringLiteral("n=1\nx");
    source.count = -5;
    source.ratio = 0.25;
    Sample target;
    QVariant targetValue = QVariant::fromValue(static_cast<QObject *>(&target));
    ASSERT_TRUE(LinesToObject(ObjectToLines(QVariant::fromValue(static_cast<QObject *>(&source))), targetValue));
    EXPECT_EQ(target.name, source.name);
    EXPECT_EQ(target.count, -5);
    EXPECT_EQ(target.ratio, 0.25);

    EXPECT_FALSE(LinesToObject(ObjectToLines(QVariant(font)), list));
    EXPECT_FALSE(LinesToObject({}, list));
    EXPECT_EQ(list.toStringList(), items);
}

TEST(SettingsLayout, ColumnKeysAndRanges)
{
    using namespace kpx::ini;
    EXPECT_EQ(SortGrid::ColWidths.ItemKey(7), "ColWidth7");
    EXPECT_EQ(SortGrid::ColumnOfKey("ColWidth0"), 0);
    EXPECT_EQ(SortGrid::ColumnOfKey("colwidth7"), 7);
    for (const char *other : {"ColWidth8", "ColWidth", "ColWidth10", "ColWidth-1", "Width0", "ColWidth0 "})
        EXPECT_FALSE(SortGrid::ColumnOfKey(other).has_value()) << other;
    EXPECT_EQ(SortGrid::ClampWidth(-20), SortGrid::MinWidth);
    EXPECT_EQ(TagForm::ColCount.Clamp(0), 1);
    EXPECT_EQ(OverWrite::Index.Clamp(9), 4);
    EXPECT_EQ(Html::ItemCount.Clamp(5), 5);
    EXPECT_EQ(HtmlnameHistory.ItemKey(12), "Items12");
}
