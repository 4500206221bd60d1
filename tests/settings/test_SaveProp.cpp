#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>

#include "SettingsTestSupport.h"
#include "settings/RadioGroup.h"
#include "settings/file/IniDocument.h"
#include "settings/file/SettingsError.h"
#include "settings/file/SettingsLayout.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace kpx::test;

namespace {

QStringList Numbered(const QString &stem, int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << stem + QString::number(i);
    return items;
}

} // namespace

TEST_F(SavePropTest, EntriesWantingOneKeyGetNumberedSuffixes)
{
    QLineEdit a(&Window), b(&Window), c(&Window), d(&Window);
    EXPECT_EQ(Props->Props().Add(&a, "Text", "S", "K").Key(), "K");
    EXPECT_EQ(Props->Props().Add(&b, "Text", "S", "K").Key(), "K1");
    EXPECT_EQ(Props->Props().Add(&c, "Text", "S", "K").Key(), "K2");
    EXPECT_EQ(Props->Props().Add(&d, "Text", "s", "k").Key(), "k3"); // names match in any letter case
    a.setText("a");
    b.setText("b");
    c.setText("c");
    d.setText("d");
    Props->Save();
    EXPECT_EQ(IniText(), "[S]\r\nK=a\r\nK1=b\r\nK2=c\r\nk3=d\r\n\r\n");
}

TEST_F(SavePropTest, UnusableEntriesAreNeitherLoadedNorSavedAndBlockNoKey)
{
    QLineEdit disabled(&Window), unnamed(&Window), usable(&Window);
    QCheckBox lacking(&Window); // has no "Text"
    Props->Props().Add(&disabled, "Text", "S", "K").SetEnabled(false);
    Props->Props().Add(&unnamed, "", "S", "K");
    Props->Props().Add(nullptr, "Text", "S", "K");
    Props->Props().Add(&lacking, "Text", "S", "K");
    auto *gone = new QLineEdit(&Window);
    TProp &goneEntry = Props->Props().Add(gone, "Text", "S", "Gone");
    delete gone;
    EXPECT_FALSE(goneEntry.IsUsable());
    EXPECT_EQ(Props->Props().Add(&usable, "Text", "S", "K").Key(), "K");

    WriteIni("[S]\r\nK=stored\r\nGone=x\r\n");
    disabled.setText("design");
    Props->Load();
    EXPECT_EQ(disabled.text(), "design");
    EXPECT_EQ(usable.text(), "stored");
    usable.setText("saved");
    Props->Save();
    EXPECT_EQ(IniText(), "[S]\r\nK=saved\r\nGone=x\r\n\r\n");
}

TEST_F(SavePropTest, SectionDefaultsToControlNameThenClassAndKeyToPropertyName)
{
    QCheckBox named(&Window), unnamed(&Window);
    named.setObjectName("cbx_LowerCase");
    unnamed.setChecked(true);
    Props->Props().Add(&named, "Checked");
    Props->Props().Add(&unnamed, "Checked");
    Props->Save();
    EXPECT_EQ(IniText(), "[cbx_LowerCase]\r\nChecked=0\r\n\r\n[QCheckBox]\r\nChecked=1\r\n\r\n");
}

TEST_F(SavePropTest, StoredValuesLoadIntoEachKindOfControlWithoutItsSignals)
{
    QCheckBox check(&Window);
    QLineEdit edit(&Window);
    QSpinBox spin(&Window);
    spin.setRange(1, 10);
    QComboBox combo(&Window);
    combo.addItems({"a", "b", "c"});
    TRadioGroup group(QString(), &Window);
    group.SetItems({"0", "1", "2", "3"});
    group.SetItemIndex(0);
    QPlainTextEdit text(&Window);
    QDoubleSpinBox ratio(&Window);
    TProps &entries = Props->Props();
    entries.Add(&check, "Checked", "o", "Checked");
    entries.Add(&edit, "echoMode", "o", "Echo");
    entries.Add(&spin, "Position", "o", "Spin");
    entries.Add(&combo, "ItemIndex", "o", "Combo");
    entries.Add(&group, "ItemIndex", "o", "Group");
    entries.Add(&text, "Text", "o", "Text");
    entries.Add(&ratio, "value", "o", "Ratio");
    QSignalSpy toggles(&check, &QCheckBox::toggled);
    QSignalSpy spins(&spin, &QSpinBox::valueChanged);
    QSignalSpy groups(&group, &TRadioGroup::ItemIndexChanged);

    WriteIni("[o]\r\nChecked=1\r\nEcho=2\r\nSpin=0x7\r\nCombo=2\r\nGroup=3\r\nText=映画\r\nRatio=2.5\r\n");
    Props->Load();
    EXPECT_TRUE(check.isChecked());
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    EXPECT_EQ(spin.value(), 7);
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_EQ(group.ItemIndex(), 3);
    EXPECT_EQ(text.toPlainText(), QStringLiteral(u"映画"));
    EXPECT_EQ(ratio.value(), 2.5);
    EXPECT_EQ(toggles.size() + spins.size() + groups.size(), 0);

    check.setChecked(false);
    edit.setEchoMode(QLineEdit::NoEcho);
    Props->Save();
    EXPECT_EQ(IniText(), "[o]\r\nChecked=0\r\nEcho=1\r\nSpin=7\r\nCombo=2\r\nGroup=3\r\nText=映画\r\nRatio=2.5\r\n\r\n");
}

TEST_F(SavePropTest, MissingKeysKeepDesignValuesAndGarbledNumbersLoadAsZero)
{
    QSpinBox count(&Window), missing(&Window);
    count.setRange(0, 50);
    count.setValue(10);
    missing.setValue(3);
    QCheckBox check(&Window);
    check.setChecked(true);
    Props->Props().Add(&count, "Position", "filename_history", "Count");
    Props->Props().Add(&missing, "Position", "html", "ItemCount");
    Props->Props().Add(&check, "Checked", "LowerCase", "Checked");
    WriteIni("[filename_history]\r\nCount=ten\r\n[LowerCase]\r\nChecked=yes\r\n");
    Props->Load();
    EXPECT_EQ(count.value(), 0);
    EXPECT_EQ(missing.value(), 3);
    EXPECT_FALSE(check.isChecked());
}

TEST_F(SavePropTest, FindEventsReceiveNumbersAndTextsButNoEmptyValues)
{
    WriteIni("[hist]\r\nItems0=0x1F\r\nItems1=page=1.html\r\nItems2=\r\n=orphan\r\nItems3=-4\r\n[tail]\r\nA=x\r\n"
             "B=$1f\r\nC=$\r\nD=$-1\r\n");
    Props->SetFindKeys({"hist", "tail"});
    QStringList log;
    Props->OnFindOrdValue = [&](TCustomSaveProps *, const QString &s, const QString &k, int v, bool &) {
        log << s + "/" + k + "#" + QString::number(v);
    };
    Props->OnFindStrValue = [&](TCustomSaveProps *, const QString &s, const QString &k, const QString &v, bool &) {
        log << s + "/" + k + "=" + v;
    };
    Props->Load();
    EXPECT_EQ(log, QStringList({"hist/Items0#31", "hist/Items1=page=1.html", "hist/Items3#-4", "tail/A=x", "tail/B#31",
                                "tail/C=$", "tail/D=$-1"}));

    log.clear();
    Props->OnFindOrdValue = nullptr;
    Props->Load();
    EXPECT_EQ(log, QStringList({"hist/Items0=0x1F", "hist/Items1=page=1.html", "hist/Items3=-4", "tail/A=x",
                                "tail/B=$1f", "tail/C=$", "tail/D=$-1"}));
}

TEST_F(SavePropTest, ContinueFalseStopsOnlyTheCurrentSection)
{
    WriteIni("[a]\r\nk0=x\r\nk1=y\r\n[b]\r\nk0=z\r\nk1=w\r\n");
    Props->SetFindKeys({"a", "b"});
    QStringList log;
    Props->OnFindStrValue = [&](TCustomSaveProps *, const QString &s, const QString &, const QString &v, bool &go) {
        log << s + v;
        go = false;
    };
    Props->Load();
    EXPECT_EQ(log, QStringList({"ax", "bz"}));
}

namespace {

class ScanCountingProps : public TIniSaveProps
{
public:
    using TIniSaveProps::TIniSaveProps;
    void ScanSection(const QString &section) override
    {
        ++Scans;
        TIniSaveProps::ScanSection(section);
    }
    int Scans = 0;
};

} // namespace

TEST_F(SavePropTest, FindKeysAreNotScannedWithoutAFindEvent)
{
    ScanCountingProps props(&Window);
    props.SetFileName(QString::fromStdString(File.string()));
    WriteIni("[a]\r\nk=v\r\n");
    props.SetFindKeys({"a", "b"});
    props.Load();
    EXPECT_EQ(props.Scans, 0);
    props.OnFindOrdValue = [](TCustomSaveProps *, const QString &, const QString &, int, bool &) {};
    props.Load();
    EXPECT_EQ(props.Scans, 2);
}

TEST_F(SavePropTest, SaveDuringLoadWritesNothingAndLoadFailuresCloseTheBracket)
{
    QLineEdit edit(&Window);
    Props->Props().Add(&edit, "Text", "Dirs", "html_dir");
    WriteIni("[Dirs]\r\nhtml_dir=old\r\n");
    Props->OnBeforeLoad = [](TCustomSaveProps *) { throw TSettingsError("ignored"); };
    Props->OnAfterLoad = [&](TCustomSaveProps *sender) {
        edit.setText("changed");
        sender->Save();
    };
    Props->Load();
    EXPECT_EQ(Storage->Writes, 0);
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=old\r\n");

    Props->OnAfterLoad = [&](TCustomSaveProps *) {
        edit.setText("changed");
        throw TSettingsError("after load");
    };
    EXPECT_THROW(Props->Load(), TSettingsError);
    Props->Save(); // not dropped as if still loading, and reads the file afresh
    EXPECT_EQ(Storage->Reads, 3);
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=changed\r\n\r\n");
}

TEST_F(SavePropTest, DirectWritesToDeclaredKeysFailWithTheClashMessage)
{
    QLineEdit edit(&Window), odd(&Window);
    edit.setText("C:\\web\\");
    Props->Props().Add(&edit, "Text", "Dirs", "html_dir");
    Props->Props().Add(&odd, "Text", "a%2", "%1");
    try {
        Props->WriteString("DIRS", "Html_Dir", "x");
        FAIL() << "no clash";
    } catch (const TSettingsError &error) {
        EXPECT_EQ(error.Message(), QStringLiteral(u"セクション名 DIRS とキー名 Html_Dir の組み合わせが重複しています"));
    }
    try {
        Props->WriteInteger("a%2", "%1", 1);
        FAIL() << "no clash";
    } catch (const TSettingsError &error) {
        EXPECT_EQ(error.Message(), QStringLiteral(u"セクション名 a%2 とキー名 %1 の組み合わせが重複しています"));
    }
    EXPECT_FALSE(std::filesystem::exists(File));

    Props->OnAfterSave = [](TCustomSaveProps *sender) { sender->WriteString("Dirs", "html_dir", "y"); };
    EXPECT_THROW(Props->Save(), TSettingsError);
    EXPECT_FALSE(std::filesystem::exists(File)); // a failed save writes nothing
    Props->OnAfterSave = [](TCustomSaveProps *sender) { sender->WriteString("Dirs", "other", "z"); };
    EXPECT_NO_THROW(Props->Save());
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=C:\\web\\\r\nother=z\r\n\r\n[a%2]\r\n%1=\r\n\r\n");
}

TEST_F(SavePropTest, NestedBracketsReadAndWriteTheFileOnce)
{
    WriteIni("[x]\r\na=1\r\n");
    Props->BeginWrite();
    Props->WriteInteger("x", "b", 2);
    Props->BeginRead();
    EXPECT_EQ(Props->ReadInteger("x", "a"), 1);
    Props->EndRead();
    Props->WriteString("y", "c", "3");
    EXPECT_EQ(IniText(), "[x]\r\na=1\r\n");
    Props->EndWrite();
    EXPECT_EQ(Storage->Reads, 1);
    EXPECT_EQ(Storage->Writes, 1);
    EXPECT_EQ(IniText(), "[x]\r\na=1\r\nb=2\r\n\r\n[y]\r\nc=3\r\n\r\n");

    QSpinBox spin(&Window);
    Props->Props().Add(&spin, "Position", "x", "a");
    Props->OnAfterSave = [](TCustomSaveProps *sender) {
        auto *file = static_cast<TIniSaveProps *>(sender);
        file->ClearSection("list");
        for (int i = 0; i < 5; ++i)
            file->WriteInteger("list", ini::HtmlnameHistory.ItemKey(i), i);
    };
    Props->Load();
    Props->Save();
    EXPECT_EQ(Storage->Reads, 3);
    EXPECT_EQ(Storage->Writes, 2);

    Props->WriteInteger("x", "d", 4); // outside any bracket: a file of its own
    EXPECT_EQ(Storage->Reads, 4);
    EXPECT_EQ(Storage->Writes, 3);
}

TEST_F(SavePropTest, WindowsSharingTheFileKeepEachOthersValues)
{
    QWidget otherWindow;
    TIniSaveProps *other = AddComponent(otherWindow);
    QLineEdit mine(&Window), theirs(&otherWindow);
    Props->Props().Add(&mine, "Text", "Dirs", "html_dir");
    other->Props().Add(&theirs, "Text", "ReName", "Format");
    Props->Load();
    other->Load();
    mine.setText("C:\\web\\");
    Props->Save();
    theirs.setText("'mv'yymmdd");
    other->Save();
    mine.setText("C:\\new\\");
    Props->Save();
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=C:\\new\\\r\n\r\n[ReName]\r\nFormat='mv'yymmdd\r\n\r\n");
}

TEST_F(SavePropTest, ListsRewrittenAfterClearSectionKeepNoStaleItemsAndDropBlanks)
{
    QStringList history = Numbered("page", 10);
    Props->OnAfterSave = [&](TCustomSaveProps *sender) {
        auto *file = static_cast<TIniSaveProps *>(sender);
        file->ClearSection(ini::HtmlnameHistory.Section);
        for (int i = 0; i < history.size(); ++i)
            file->WriteString(ini::HtmlnameHistory.Section, ini::HtmlnameHistory.ItemKey(i), history[i]);
    };
    Props->Save();
    history = {"a=b.html", "", QStringLiteral(u"映画.html"), "p3", "p4", "p5", "p6"};
    Props->Save();
    const TIniDocument written = TIniDocument::Parse(ReadFileBytes(File));
    std::vector<std::string> keys;
    for (int i = 0; i < 7; ++i)
        keys.push_back(ini::HtmlnameHistory.ItemKey(i).toStdString());
    EXPECT_EQ(written.ReadSection("htmlname_history"), keys);

    QStringList loaded;
    Props->SetFindKeys({ini::HtmlnameHistory.Section});
    Props->OnFindStrValue = [&](TCustomSaveProps *, const QString &, const QString &, const QString &v, bool &) {
        loaded << v;
    };
    Props->Load();
    EXPECT_EQ(loaded, QStringList({"a=b.html", QStringLiteral(u"映画.html"), "p3", "p4", "p5", "p6"}));
}

TEST_F(SavePropTest, LowerCaseSectionHeaderStillLoads)
{
    QLineEdit folder(&Window);
    Props->Props().Add(&folder, "Text", ini::Dirs::Section, ini::Dirs::OrgMovDir.Name);
    WriteIni("[dirs]\r\nORG_MOV_DIR=C:\\映像\\\r\n");
    Props->Load();
    EXPECT_EQ(folder.text(), QStringLiteral(u"C:\\映像\\"));
}

TEST_F(SavePropTest, TextCodePage932CannotHoldIsMarkedAndTheRestIsSaved)
{
    QLineEdit name(&Window), other(&Window);
    name.setText(QStringLiteral(u"映画😀"));
    other.setText("kept");
    Props->Props().Add(&name, "Text", "s", "name");
    Props->Props().Add(&other, "Text", "s", "other");
    Props->Save();
    EXPECT_EQ(ReadFileBytes(File), Sjis("[s]\r\nname=映画") + "\x81\xAC" + "\r\nother=kept\r\n\r\n");
    Props->Load();
    EXPECT_EQ(name.text(), QStringLiteral(u"映画〓"));
}

TEST_F(SavePropTest, FailedWriteBackKeepsTheOldFileAndTheChangesForTheNextBracket)
{
    QLineEdit edit(&Window);
    Props->Props().Add(&edit, "Text", "Dirs", "html_dir");
    WriteIni("[Dirs]\r\nhtml_dir=old\r\n");
    edit.setText("new");
    Storage->FailingWrites = 1;
    EXPECT_THROW(Props->Save(), TSettingsError);
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=old\r\n");
    Props->WriteString("other", "k", "v");
    EXPECT_EQ(Storage->Reads, 1);
    EXPECT_EQ(IniText(), "[Dirs]\r\nhtml_dir=new\r\n\r\n[other]\r\nk=v\r\n\r\n");
}

TEST_F(SavePropTest, SaveFailingPartWayThroughAListLeavesTheFileAsItWasAndNoDocumentOpen)
{
    QLineEdit folder(&Window);
    Props->Props().Add(&folder, "Text", "Dirs", "html_dir");
    const std::string before =
        "[Dirs]\r\nhtml_dir=old\r\n\r\n[htmlname_history]\r\nItems0=a.html\r\nItems1=b.html\r\n\r\n";
    WriteIni(before);
    folder.setText("new");
    Props->OnAfterSave = [](TCustomSaveProps *sender) {
        auto *file = static_cast<TIniSaveProps *>(sender);
        file->ClearSection(ini::HtmlnameHistory.Section);
        file->WriteString(ini::HtmlnameHistory.Section, "Items0", "c.html");
        file->WriteString("Dirs", "html_dir", "clash");
    };
    EXPECT_THROW(Props->Save(), TSettingsError);
    EXPECT_EQ(Storage->Writes, 0);
    EXPECT_EQ(IniText(), before);

    // The next bracket reads the file afresh instead of finishing the failed save.
    Props->WriteString("other", "k", "v");
    EXPECT_EQ(Storage->Reads, 2);
    EXPECT_EQ(IniText(), before + "[other]\r\nk=v\r\n\r\n");
}

TEST_F(SavePropTest, GarbledFileLoadsWhatItCanAndOversizedFileIsLeftAlone)
{
    QLineEdit edit(&Window);
    Props->Props().Add(&edit, "Text", "Dirs", "html_dir");
    using namespace std::string_literals;
    WriteFileBytes(File, "\0\xFF\xFE junk\n[Dirs]\nno key here\nhtml_dir=\x82\xA0ok\n\x81"s);
    Props->Load();
    EXPECT_EQ(edit.text(), QStringLiteral(u"あok"));
    Props->Save();
    EXPECT_NE(ReadFileBytes(File).find("no key here\r\n"), std::string::npos);

    const std::string huge(TIniFileStorage::MaxFileBytes + 1, '\n');
    WriteFileBytes(File, huge);
    EXPECT_THROW(Props->Load(), TSettingsError);
    EXPECT_THROW(Props->Save(), TSettingsError);
    EXPECT_EQ(ReadFileBytes(File).size(), huge.size());
}

TEST_F(SavePropTest, ObjectValuesRoundTripAndASaveEmptiesTheirSectionFirst)
{
    Sample sample, child;
    sample.items = Numbered("item", 5);
    sample.child = &child;
    child.count = 5;
    QLabel label(&Window);
    const QFont font(QStringLiteral("IPAGothic"), 15, QFont::Bold);
    label.setFont(font);
    Props->Props().Add(&sample, "items", "list", "Items");
    Props->Props().Add(&sample, "child", "child", "Obj");
    Props->Props().Add(&label, "font", "font", "Font");
    Props->Save();
    sample.items = {"only"};
    Props->Save();
    const TIniDocument written = TIniDocument::Parse(ReadFileBytes(File));
    EXPECT_EQ(written.ReadSection("list"), (std::vector<std::string>{"Items0", "Items1"}));

    sample.items.clear();
    child.count = 0;
    label.setFont(QFont());
    Props->Load();
    EXPECT_EQ(sample.items, QStringList{"only"});
    EXPECT_EQ(child.count, 5);
    EXPECT_EQ(label.font(), font);
}
