#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include "MainWindowFixture.h"
#include "components/UpDown.h"
#include "settings/TemplateBox.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/IniDocument.h"
#include "tags/kpx_tags.h"

using namespace kpx;
using namespace kpx::test;
namespace fs = std::filesystem;

namespace {

void DropFiles(QWidget *window, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

// Counts the show and hide events that reach a window.
struct ShowHideCounter : QObject
{
    explicit ShowHideCounter(QObject *watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        Count += event->type() == QEvent::Show || event->type() == QEvent::Hide;
        return false;
    }
    int Count = 0;
};

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

class MainWindowBasics : public MainWindowTest
{
protected:
    TempDir Source;

    void AddMovie(const char *name) { WriteFileBytes(Source / name, "movie"); }
    void ChooseFolders()
    {
        AnswerFolder(FolderOf(Source));
        Click("bbtn_org_mov");
        AnswerFolder(FolderOf(SettingsDir));
        Click("bbtn_diropenhtml");
    }
};

TEST_F(MainWindowBasics, StartsAsTheProgramDoes)
{
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Kinopage Lite"));
    EXPECT_EQ(Main->centralWidget()->size(), QSize(456, 206));
    EXPECT_EQ(Main->HtmlNameHistory()->currentText(), QStringLiteral("ezmovie.html"));
    EXPECT_FALSE(Find<QPushButton>("bbtn_makehtml")->isEnabled());
    EXPECT_EQ(Find<TUpDown>("ud_PageItemCnt")->value(), 3);
    // Blank templates are filled in when the window is first shown.
    EXPECT_EQ(Settings->HeaderTemplate(), FromUtf8(DefaultHeader));
    EXPECT_EQ(Settings->FooterTemplate(2), FromUtf8(DefaultFooters[2]));
}

TEST_F(MainWindowBasics, ButtonsWithPicturesHaveThemAndEveryCloseButtonTheSameOne)
{
    AddMovie("a.amc");
    ChooseFolders();
    Click("bbtn_pagecfg");
    ASSERT_NE(Main->PageSettingsWindow(), nullptr);
    const auto picture = [](const QWidget *window, const char *name) {
        const auto *button = window->findChild<QAbstractButton *>(QLatin1String(name));
        EXPECT_NE(button, nullptr) << name;
        return button ? button->icon().pixmap(16).toImage() : QImage();
    };
    for (const char *name : {"bbtn_org_mov", "bbtn_diropenhtml", "bbtn_diropenmovie", "bbtn_pagecfg", "bbtn_makehtml"})
        EXPECT_FALSE(picture(Main.get(), name).isNull()) << name;
    const QImage close = picture(Main.get(), "bbtn_Close");
    EXPECT_FALSE(close.isNull());
    EXPECT_EQ(picture(Settings.get(), "bbtn_close"), close);
    EXPECT_EQ(picture(Main->PageSettingsWindow(), "bbtn_Close"), close);
}

TEST_F(MainWindowBasics, HtmlFolderAlsoSetsTheMovieFolderUntilTheMovieFolderIsChosen)
{
    AnswerFolder(QStringLiteral("/srv/web"));
    Click("bbtn_diropenhtml");
    EXPECT_EQ(Find<QLineEdit>("edt_htmlDir")->text(), QStringLiteral("/srv/web/"));
    EXPECT_EQ(Find<QLineEdit>("edt_ezmovie")->text(), QStringLiteral("/srv/web/"));
    AnswerFolder(QStringLiteral("/srv/mov"));
    Click("bbtn_diropenmovie");
    EXPECT_EQ(Find<QLineEdit>("edt_ezmovie")->text(), QStringLiteral("/srv/mov/"));
    EXPECT_EQ(BrowserStarts.last(), QStringLiteral("/srv/web")); // starts at the field's folder
    AnswerFolder(std::nullopt);
    Click("bbtn_diropenhtml");
    EXPECT_EQ(Find<QLineEdit>("edt_htmlDir")->text(), QStringLiteral("/srv/web/")); // cancel changes nothing
}

// The folder browser starts at the field's folder, else near the movies,
// else at home: never at the file system's root.
TEST_F(MainWindowBasics, FolderBrowserStartsAtTheFieldElseTheSourceFolderElseHome)
{
    const struct
    {
        const char *button, *field;
        QString source, own, start;
    } cases[] = {
        {"bbtn_org_mov", "edt_org_mov", {}, {}, QDir::homePath()},
        {"bbtn_diropenmovie", "edt_ezmovie", {}, {}, QDir::homePath()},
        {"bbtn_diropenhtml", "edt_htmlDir", QStringLiteral("/srv/mov/"), {}, QStringLiteral("/srv/mov")},
        {"bbtn_diropenmovie", "edt_ezmovie", QStringLiteral("/srv/mov/"), QStringLiteral("/srv/web/"),
         QStringLiteral("/srv/web")},
    };
    AnswerFolder(std::nullopt);
    for (const auto &c : cases) {
        Find<QLineEdit>("edt_org_mov")->setText(c.source);
        Find<QLineEdit>(c.field)->setText(c.own);
        Click(c.button);
        EXPECT_EQ(BrowserStarts.last(), c.start) << c.button;
    }
}

TEST_F(MainWindowBasics, FolderCodePage932CannotSpellIsRefused)
{
    AnswerFolder(QStringLiteral("/srv/caf\u00e9"));
    Click("bbtn_org_mov");
    EXPECT_TRUE(Find<QLineEdit>("edt_org_mov")->text().isEmpty());
    ASSERT_EQ(Messages.Messages().size(), 1);
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Warning);
}

TEST_F(MainWindowBasics, DropsSetTheSourceFolder)
{
    AddMovie("a.amc");
    AddMovie("b.amc");
    AddMovie("c.amc");
    const QString folder = FolderOf(Source);
    DropFiles(Main.get(), {folder + QStringLiteral("/a.amc"), folder + QStringLiteral("/b.amc"),
                           folder + QStringLiteral("/c.amc")});
    EXPECT_EQ(Find<QLineEdit>("edt_org_mov")->text(), folder + QStringLiteral("/"));
    DropFiles(Main.get(), {FolderOf(SettingsDir)});
    EXPECT_EQ(Find<QLineEdit>("edt_org_mov")->text(), FolderOf(SettingsDir) + QStringLiteral("/"));
}

TEST_F(MainWindowBasics, BuildThatFindsNothingLeavesMakingPagesImpossible)
{
    AnswerFolder(FolderOf(Source));
    Click("bbtn_org_mov");
    Click("bbtn_pagecfg");
    EXPECT_FALSE(Find<QPushButton>("bbtn_makehtml")->isEnabled());
    ASSERT_EQ(Messages.Messages().size(), 1);
    EXPECT_EQ(Messages.Messages()[0].Text,
              QStringLiteral("指定された元ezmovieディレクトリに\r\nezmovieファイルが存在しません。"));
    EXPECT_EQ(Main->PageSettingsWindow(), nullptr);
}

TEST_F(MainWindowBasics, InputChecksRunInOrderAndMoveTheFocus)
{
    AddMovie("a.amc");
    ChooseFolders();
    Click("bbtn_pagecfg");
    ASSERT_TRUE(Find<QPushButton>("bbtn_makehtml")->isEnabled());
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));

    auto expectWarning = [this](const QString &text, QWidget *focus) {
        const qsizetype before = Messages.Messages().size();
        Click("bbtn_makehtml");
        ASSERT_EQ(Messages.Messages().size(), before + 1);
        EXPECT_EQ(Messages.Messages().last().Text, text);
        QWidget *focused = QApplication::focusWidget();
        EXPECT_TRUE(focused == focus || focus->isAncestorOf(focused)) << text.toStdString();
    };
    const QString source = Find<QLineEdit>("edt_org_mov")->text();
    const QString html = Find<QLineEdit>("edt_htmlDir")->text();
    Find<QLineEdit>("edt_ezmovie")->clear();
    Find<QLineEdit>("edt_htmlDir")->clear();
    Main->HtmlNameHistory()->setEditText(QString());
    Find<QLineEdit>("edt_org_mov")->clear();
    expectWarning(QStringLiteral("元ezmovieディレクトリを選択してください。"), Find<QWidget>("bbtn_org_mov"));
    Find<QLineEdit>("edt_org_mov")->setText(source);
    expectWarning(QStringLiteral("htmlファイル名を入力してください。"), Main->HtmlNameHistory());
    Main->HtmlNameHistory()->setEditText(QStringLiteral("   ")); // blanks pass: only empty text fails
    expectWarning(QStringLiteral("htmlディレクトリを選択してください。"), Find<QWidget>("bbtn_diropenhtml"));
    Find<QLineEdit>("edt_htmlDir")->setText(html);
    expectWarning(QStringLiteral("ezmovieディレクトリを選択してください。"), Find<QWidget>("bbtn_diropenmovie"));
}

TEST_F(MainWindowBasics, EnterInTheNameBoxMovesOnAndStartsNothing)
{
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    QComboBox *name = Main->HtmlNameHistory();
    name->setFocus();
    QTest::keyClick(name->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(Find<QWidget>("bbtn_diropenhtml")->hasFocus());
    EXPECT_TRUE(Messages.Messages().isEmpty());
    EXPECT_EQ(Main->PageSettingsWindow(), nullptr);
}

TEST_F(MainWindowBasics, LeavingTheNameBoxNormalisesAndRecordsIt)
{
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    QComboBox *name = Main->HtmlNameHistory();
    name->setFocus();
    name->setEditText(QStringLiteral("/web/Top.HTM"));
    Find<QWidget>("bbtn_pagecfg")->setFocus();
    EXPECT_EQ(name->currentText(), QStringLiteral("Top.html"));
    ASSERT_EQ(name->count(), 1);
    EXPECT_EQ(name->itemText(0), QStringLiteral("Top.html"));
    name->setFocus();
    name->setEditText(QStringLiteral("  "));
    Find<QWidget>("bbtn_pagecfg")->setFocus();
    EXPECT_EQ(name->currentText(), QStringLiteral("  "));
    EXPECT_EQ(name->count(), 1);
}

TEST_F(MainWindowBasics, NameBoxCompletesTypedTextFromItsHistory)
{
    QComboBox *name = Main->HtmlNameHistory();
    name->addItems({QStringLiteral("Index.html"), QStringLiteral("info.html")});
    name->setEditText(QString());
    QTest::keyClicks(name->lineEdit(), QStringLiteral("i"));
    EXPECT_EQ(name->currentText(), QStringLiteral("Index.html"));
    EXPECT_EQ(name->lineEdit()->selectedText(), QStringLiteral("ndex.html"));
    // The stored letter case won; Backspace removes the completed tail and completes nothing.
    QTest::keyClick(name->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(name->currentText(), QStringLiteral("I"));
    QTest::keyClicks(name->lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(name->currentText(), QStringLiteral("Ix")); // no entry begins with it
    QTest::keyClick(name->lineEdit(), Qt::Key_Backspace);
    Settings->findChild<QCheckBox *>(QStringLiteral("cbx_AutoComplete"))->setChecked(false);
    QTest::keyClicks(name->lineEdit(), QStringLiteral("n"));
    EXPECT_EQ(name->currentText(), QStringLiteral("In")); // the option is off
}

TEST_F(MainWindowBasics, NameBoxTakesOneLineOfTextThatPagesCanHold)
{
    QComboBox *name = Main->HtmlNameHistory();
    name->setEditText(QString());
    TypeText(name->lineEdit(), QStringLiteral("café.html"));
    EXPECT_EQ(name->currentText(), QStringLiteral("caf.html"));
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("é"))) << QToolTip::text().toStdString();
    name->setEditText(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("top\r\n.html"));
    name->lineEdit()->paste();
    EXPECT_EQ(name->currentText(), QStringLiteral("top.html"));
}

TEST_F(MainWindowBasics, AlwaysOnTopLeavesEveryWindowAsItWas)
{
    Main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    Main->HtmlNameHistory()->setFocus();
    QWidget *focused = Main->focusWidget();
    ShowHideCounter mainShows(Main.get());
    bool dialogOpenAfterwards = false;
    // Ticked in the modal dialog, as the user does, with the header just cleared.
    QTimer::singleShot(0, Settings.get(), [&] {
        Settings->findChild<TTemplateBox *>(QStringLiteral("html_header"))->SetText(QString());
        QTest::mouseClick(Settings->findChild<QCheckBox *>(QStringLiteral("cbx_AlwaysTop")), Qt::LeftButton);
        dialogOpenAfterwards = Settings->isVisible();
        Settings->close();
    });
    Main->findChild<QAction *>(QStringLiteral("N1"))->trigger();

    EXPECT_TRUE(dialogOpenAfterwards);
    EXPECT_TRUE(Main->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(Settings->windowFlags().testFlag(Qt::WindowStaysOnTopHint)); // still above its owner
    EXPECT_EQ(mainShows.Count, 0);
    EXPECT_TRUE(Settings->HeaderTemplate().isEmpty());
    EXPECT_EQ(Main->focusWidget(), focused);
}

TEST_F(MainWindowBasics, SettingsSurviveARestart)
{
    ChooseFolders();
    Find<TUpDown>("ud_PageItemCnt")->setValue(7);
    QComboBox *name = Main->HtmlNameHistory();
    name->addItems({QStringLiteral("a.html"), QStringLiteral("b.html")});
    Main->setGeometry(QRect(QPoint(40, 50), Main->size()));
    const QRect geometry = Main->geometry();
    StartProgram();
    EXPECT_EQ(Find<QLineEdit>("edt_org_mov")->text(), FolderOf(Source) + QStringLiteral("/"));
    EXPECT_EQ(Find<QLineEdit>("edt_ezmovie")->text(), FolderOf(SettingsDir) + QStringLiteral("/"));
    EXPECT_EQ(Find<TUpDown>("ud_PageItemCnt")->value(), 7);
    ASSERT_EQ(Main->HtmlNameHistory()->count(), 2);
    EXPECT_EQ(Main->HtmlNameHistory()->itemText(1), QStringLiteral("b.html"));
    EXPECT_EQ(Main->HtmlNameHistory()->currentText(), QStringLiteral("ezmovie.html"));
    EXPECT_EQ(Main->geometry().topLeft(), geometry.topLeft());
}

TEST_F(MainWindowBasics, ShorterHistoryLeavesNoKeyOfTheLongerOne)
{
    QComboBox *name = Main->HtmlNameHistory();
    for (int i = 0; i < 10; ++i)
        name->addItem(QStringLiteral("n%1.html").arg(i));
    StartProgram();
    name = Main->HtmlNameHistory();
    ASSERT_EQ(name->count(), 10);
    for (int i = 0; i < 3; ++i)
        name->removeItem(name->count() - 1);
    StopProgram();
    const TIniDocument file = TIniDocument::Parse(ReadFileBytes(SettingsDir / "kpx_app.ini"));
    EXPECT_EQ(file.ReadSection("htmlname_history"),
              (std::vector<std::string>{"Items0", "Items1", "Items2", "Items3", "Items4", "Items5", "Items6"}));
    EXPECT_EQ(file.ReadString("htmlname_history", "Items6", ""), "n6.html");
}

TEST_F(MainWindowBasics, SettingsThatCannotBeSavedAtTheEndAreToldForEachWindowAndTheOldFileStays)
{
    // The window named in each error box about the settings file, in order.
    const auto failedWindows = [this] {
        QStringList windows;
        for (const TMessageRecorder::TMessage &message : Messages.Messages())
            if (message.Kind == TMsgKind::Error && message.Text.contains(QStringLiteral("kpx_app.ini")))
                windows << message.Text.section(QStringLiteral("」"), 0, 0).mid(1);
        return windows;
    };
    AddMovie("a.amc");
    ChooseFolders();
    StartProgram(); // the file exists from here on
    Click("bbtn_pagecfg"); // a third window that saves as the program ends
    ASSERT_NE(Main->PageSettingsWindow(), nullptr);
    const auto before = FolderContents(SettingsDir.path());
    {
        const FileSizeLimit full(16); // as if the disk were full
        StopProgram();
    }
    const QStringList allThree = {QStringLiteral("ページ設定"), QStringLiteral("Kinopage Lite"), QStringLiteral("設定")};
    EXPECT_EQ(failedWindows(), allThree);
    EXPECT_EQ(FolderContents(SettingsDir.path()), before); // intact, no temporary file

    StartProgram();
    StopProgram(); // a save that works again
    StartProgram();
    fs::remove_all(SettingsDir.path());
    WriteFileBytes(SettingsDir.path(), "not a folder");
    StopProgram();
    EXPECT_EQ(failedWindows(), allThree + QStringList({QStringLiteral("Kinopage Lite"), QStringLiteral("設定")}));
    fs::remove(SettingsDir.path());
    fs::create_directory(SettingsDir.path());
}
