#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "MainWindowFixture.h"
#include "app/PublishProgress.h"
#include "app/RunResultBox.h"
#include "components/LtLabel.h"
#include "components/UpDown.h"
#include "pages/EntryScan.h"
#include "pages/NumberFormat.h"
#include "settings/RadioGroup.h"
#include "settings/TemplateBox.h"
#include "settings/file/DefaultTemplates.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_preview.h"
#include "tags/kpx_tags.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace kpx::test;
namespace fs = std::filesystem;

namespace {

std::string Block(const std::string &copyName, const std::string &standby, const std::string &groupedSize,
                  const std::string &size)
{
    return "<object data=" + copyName + " type=\"application/x-mpeg\" copyright=\"no\" \r\n" + "    standby=\""
           + standby + " (" + groupedSize + "byte)\">\r\n" + "\x81\x40<param name=\"title\" value=\"" + standby
           + "\" valuetype=\"data\" />\r\n" + "\x81\x40<param name=\"size\" value=\"" + size
           + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"disposition\" value=\"devdl1q\" valuetype=\"data\" />\r\n" + "</object>\r\n\r\n\r\n";
}

std::string Header(int page)
{
    std::string header = Sjis(DefaultHeader);
    for (size_t at; (at = header.find("%i")) != std::string::npos;)
        header.replace(at, 2, std::to_string(page));
    return header + "\r\n";
}

std::string Footer(int which, const char *previous, const char *next)
{
    std::string footer = Sjis(DefaultFooters[static_cast<size_t>(which)]);
    if (size_t at = footer.find("%n"); at != std::string::npos)
        footer.replace(at, 2, next);
    if (size_t at = footer.find("%p"); at != std::string::npos)
        footer.replace(at, 2, previous);
    return footer + "\r\n";
}

// Runs `step` on the next modal window once it is open.
void WhenModalOpens(std::function<void(QWidget *)> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget *modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        step(modal);
    });
}

} // namespace

class MakePagesRoad : public MainWindowTest
{
protected:
    TempDir Source;
    TempDir Html;

    void SetUp() override
    {
        const std::pair<const char *, int> movies[] = {
            {"b.amc", 3000}, {"a.amc", 1000}, {"映画.amc", 2000}, {"d.amc", 5000}, {"c.amc", 4000}};
        for (const auto &[name, size] : movies)
            WriteFileBytes(Source / name, std::string(static_cast<size_t>(size), 'm'));
        AnswerFolder(FolderOf(Source));
        Click("bbtn_org_mov");
        AnswerFolder(FolderOf(Html));
        Click("bbtn_diropenhtml");
        Find<TUpDown>("ud_PageItemCnt")->setValue(2);
        FRecorder = SetMessageHandler([this](TMsgKind kind, const QString &text) {
            if (Main->findChild<QProgressDialog *>())
                OverProgress << text;
            return FRecorder(kind, text);
        });
    }
    void TearDown() override { SetMessageHandler(FRecorder); }
    Tkpx_TagsFrm *Build()
    {
        Click("bbtn_pagecfg");
        Tkpx_TagsFrm *tags = Main->PageSettingsWindow();
        EXPECT_NE(tags, nullptr);
        return tags;
    }
    static QLineEdit *LinkBox(Tkpx_TagsFrm *tags, int position)
    {
        return tags->findChild<QLineEdit *>(QStringLiteral("TagItem%1edt_standby").arg(position));
    }
    static void TypeLinkName(Tkpx_TagsFrm *tags, int position, const QString &text)
    {
        QLineEdit *box = LinkBox(tags, position);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    // What boxes said while a progress dialog was up: questions during the
    // work may; the box that tells how the work ended may not.
    QStringList OverProgress;

private:
    TMessageHandler FRecorder;
};

TEST_F(MakePagesRoad, BuildEditSortAndMakeThePages)
{
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    EXPECT_TRUE(Find<QPushButton>("bbtn_makehtml")->isEnabled());
    // The panels fed the shared input history, which the main window keeps.
    EXPECT_EQ(Find<QComboBox>("cb_InputHis")->count(), Main->Store().InputHistory.Count());
    EXPECT_GE(Main->Store().InputHistory.Count(), 2);
    auto *strip = tags->findChild<TPageTabStrip *>(QStringLiteral("tbc_tags"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->Tabs(), (QStringList{QStringLiteral("ezmovie.html"), QStringLiteral("ezmovie02.html"),
                                          QStringLiteral("ezmovie03.html")}));

    // Page 2 holds c.amc first (the listing is a, b, c, d, 映画).
    tags->activateWindow();
    strip->SelectTab(1);
    TypeLinkName(tags, 0, QStringLiteral("Top pick"));
    strip->SelectTab(0); // leaving the page stores the typed name

    // Sort by file size in the list window, then close it.
    WhenModalOpens([](QWidget *list) {
        auto *header = list->findChild<QHeaderView *>(QStringLiteral("hdctl_sort"));
        ASSERT_NE(header, nullptr);
        const int x = header->sectionViewportPosition(2) + header->sectionSize(2) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        list->close();
    });
    tags->findChild<QAction *>(QStringLiteral("N1"))->trigger();

    Click("bbtn_makehtml");
    ASSERT_FALSE(Messages.Messages().isEmpty());
    EXPECT_EQ(FirstLine(Messages.Messages().last().Text), QStringLiteral("htmlファイルを作成しました。"));
    EXPECT_EQ(Messages.Messages().size(), 1);

    const std::string eiga = FormatRenamePattern("'mv'yymmdd", LocalToday()) + "01.amc";
    const auto page = [this](const char *name) { return ReadFileBytes(Html / name); };
    EXPECT_EQ(page("ezmovie.html"), Header(1) + Block("a.amc", "a", "1,000", "1000")
                                        + Block(eiga, Sjis("映画"), "2,000", "2000")
                                        + Footer(0, "", "ezmovie02.html"));
    EXPECT_EQ(page("ezmovie02.html"), Header(2) + Block("b.amc", "b", "3,000", "3000")
                                          + Block("c.amc", "Top pick", "4,000", "4000")
                                          + Footer(1, "ezmovie.html", "ezmovie03.html"));
    EXPECT_EQ(page("ezmovie03.html"), Header(3) + Block("d.amc", "d", "5,000", "5000")
                                          + Footer(2, "ezmovie02.html", ""));
    EXPECT_EQ(ReadFileBytes(Html / eiga), std::string(2000, 'm'));
}

TEST_F(MakePagesRoad, ThePreviewShowsEachPageAsTheRunWritesItAndWarnsOfTemplateFaults)
{
    TempDir movies; // apart from the html folder: the links climb out of it
    AnswerFolder(FolderOf(movies));
    Click("bbtn_diropenmovie");
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    tags->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
    auto *preview = tags->findChild<Tkpx_PreviewFrm *>();
    ASSERT_NE(preview, nullptr);
    const QLabel *status = preview->findChild<QLabel *>(QStringLiteral("stx_status"));
    Click("bbtn_makehtml");

    const std::pair<int, const char *> pages[] = {{0, "ezmovie.html"}, {1, "ezmovie02.html"}, {2, "ezmovie03.html"}};
    for (const auto &[index, name] : pages) {
        SCOPED_TRACE(name);
        tags->findChild<TPageTabStrip *>()->SelectTab(index);
        const std::string written = ReadFileBytes(Html / name);
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(preview->PageSource(), Cp932ToQString(written));
        EXPECT_EQ(QStringToCp932(preview->PageSource()), written);
        EXPECT_EQ(status->text(),
                  QString::fromStdString(FormatThousands(std::int64_t(written.size()))) + QStringLiteral(" バイト"));
    }

    // A header typed in the settings dialog shows at once, with its fault.
    auto *header = Settings->findChild<TTemplateBox *>(QStringLiteral("html_header"));
    header->SetText(QStringLiteral("<html><body>\r\n%i <b>new"));
    EXPECT_TRUE(preview->PageSource().startsWith(QStringLiteral("<html><body>\r\n3 <b>new\r\n")));
    EXPECT_TRUE(status->text().endsWith(QStringLiteral("　警告: ヘッダ 2行目の <b> が </BODY> までに閉じていません")))
        << status->text().toStdString();
}

TEST_F(MakePagesRoad, SpinnerRebuildsAVisiblePageSettingsWindowKeepingEdits)
{
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    tags->activateWindow();
    TypeLinkName(tags, 1, QStringLiteral("edited"));
    tags->findChild<TPageTabStrip *>(QStringLiteral("tbc_tags"))->SelectTab(1);

    Find<TUpDown>("ud_PageItemCnt")->stepBy(1);
    Tkpx_TagsFrm *rebuilt = Main->PageSettingsWindow();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(Main->Store().List.FPageItemCount, 3);
    EXPECT_EQ(Main->Store().List.FPageCount, 2);
    EXPECT_EQ(LinkBox(rebuilt, 1)->text(), QStringLiteral("edited"));

    rebuilt->hide();
    Find<TUpDown>("ud_PageItemCnt")->stepBy(1); // hidden: only the spinner moves
    EXPECT_EQ(Main->Store().List.FPageItemCount, 3);
}

namespace {

// Counts how often a progress dialog is shown anywhere in the program.
class ProgressShows : public QObject
{
public:
    ProgressShows() { qApp->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog *>(watched))
            ++Count;
        return false;
    }
};

// A clock the test moves: each reading is `step` milliseconds after the last.
class SteppingClock
{
public:
    explicit SteppingClock(qint64 step)
        : FPrevious(SetProgressClock([this, step] { return FNow += step; }))
    {
    }
    ~SteppingClock() { SetProgressClock(FPrevious); }

private:
    qint64 FNow = 0;
    TProgressClock FPrevious;
};

} // namespace

TEST_F(MakePagesRoad, ProgressAppearsOnlyWhenTheRunTakesLong)
{
    ASSERT_NE(Build(), nullptr);
    for (const qint64 step : {0, 1000}) {
        const SteppingClock clock(step);
        ProgressShows shows;
        Click("bbtn_makehtml");
        EXPECT_EQ(shows.Count, step == 0 ? 0 : 1) << step;
        ASSERT_FALSE(Messages.Messages().isEmpty());
        EXPECT_EQ(FirstLine(Messages.Messages().last().Text), QStringLiteral("htmlファイルを作成しました。"));
        EXPECT_EQ(Main->findChild<QProgressDialog *>(), nullptr); // gone with the run
    }
    EXPECT_TRUE(fs::exists(Html / "ezmovie03.html"));
}

TEST_F(MakePagesRoad, CancelStopsAfterTheFileBeingCopied)
{
    ASSERT_NE(Build(), nullptr);
    const SteppingClock clock(1000);
    // Runs at the first repaint, while the first movie is being copied.
    QTimer::singleShot(0, Main.get(), [this] {
        auto *progress = Main->findChild<QProgressDialog *>();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->labelText().contains(QStringLiteral("ページ 1/3")));
        EXPECT_TRUE(progress->labelText().contains(QStringLiteral("a.amc")));
        progress->cancel();
    });
    Find<QPushButton>("bbtn_makehtml")->click();
    ASSERT_EQ(Messages.Messages().size(), 1);
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Information);
    EXPECT_EQ(Messages.Messages()[0].Text,
              QStringLiteral("htmlファイルの作成を中止しました。\r\n"
                             "動画: コピー 1、スキップ 0、失敗 0 / ページ: 作成 0、変更なし 0、スキップ 0、失敗 0\r\n"
                             "途中で終了しました: 全 3 ページのうち未作成は ezmovie.html ～ ezmovie03.html。"));
    EXPECT_TRUE(OverProgress.isEmpty());
    EXPECT_EQ(FolderContents(Html.path()).size(), 1u);
    EXPECT_TRUE(fs::exists(Html / "a.amc"));
}

TEST_F(MakePagesRoad, FolderRemovedAfterItWasChosenIsToldOnceAndNothingIsMade)
{
    ASSERT_NE(Build(), nullptr);
    fs::remove_all(Html.path());
    Click("bbtn_makehtml");
    ASSERT_EQ(Messages.Messages().size(), 2);
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Error);
    EXPECT_TRUE(Messages.Messages()[0].Text.contains(QStringLiteral("a.amc")));
    EXPECT_TRUE(Messages.Messages()[0].Text.contains(QStringLiteral("見つかりません")));
    // The last word says nothing was made, never that it was.
    EXPECT_EQ(Messages.Messages()[1].Kind, TMsgKind::Warning);
    EXPECT_EQ(FirstLine(Messages.Messages()[1].Text), QStringLiteral("htmlファイルを作成できませんでした。"));
    EXPECT_FALSE(fs::exists(Html.path()));
}

TEST_F(MakePagesRoad, MovieRemovedAfterTheBuildIsNamedAndTheOtherPagesAreMade)
{
    ASSERT_NE(Build(), nullptr);
    fs::remove(Source / "b.amc");
    Click("bbtn_makehtml");
    ASSERT_FALSE(Messages.Messages().isEmpty());
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Error);
    EXPECT_TRUE(Messages.Messages()[0].Text.contains(QStringLiteral("b.amc")));
    EXPECT_TRUE(fs::exists(Html / "ezmovie03.html"));
    EXPECT_TRUE(fs::exists(Html / "c.amc"));
    EXPECT_FALSE(fs::exists(Html / "b.amc"));
}

TEST_F(MakePagesRoad, LongScanShowsProgressAndCancelBuildsNothing)
{
    const SteppingClock clock(1000);
    QTimer::singleShot(0, Main.get(), [this] {
        auto *progress = Main->findChild<QProgressDialog *>();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->labelText().contains(QStringLiteral("調べました")));
        progress->cancel();
    });
    Find<QPushButton>("bbtn_pagecfg")->click();
    ASSERT_EQ(Messages.Messages().size(), 1);
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Information);
    EXPECT_EQ(Messages.Messages()[0].Text, QStringLiteral("ezmovieファイルの読み込みを中止しました。"));
    EXPECT_TRUE(OverProgress.isEmpty());
    EXPECT_EQ(Main->PageSettingsWindow(), nullptr);
    EXPECT_FALSE(Find<QPushButton>("bbtn_makehtml")->isEnabled());
    EXPECT_EQ(Main->Store().List.FEntryCount, 0);

    // Cancelled once, the next build starts afresh.
    Find<QPushButton>("bbtn_pagecfg")->click();
    EXPECT_NE(Main->PageSettingsWindow(), nullptr);
    EXPECT_EQ(Main->Store().List.FEntryCount, 5);
}

TEST_F(MakePagesRoad, NamesThatAreNoMoviesAreToldInOneBoxAfterTheScan)
{
    ASSERT_EQ(::mkfifo((Source / "pipe.amc").c_str(), 0644), 0);
    fs::create_symlink(Source / "gone", Source / "dangling.amc");
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    ASSERT_EQ(Messages.Messages().size(), 1);
    EXPECT_EQ(Messages.Messages()[0].Kind, TMsgKind::Warning);
    EXPECT_EQ(Messages.Messages()[0].Text, QStringLiteral("次のファイルは動画ではないため、一覧に入れませんでした。\r\n"
                                                          "dangling.amc（リンク先がありません）\r\n"
                                                          "pipe.amc（名前付きパイプです）"));
    EXPECT_EQ(tags->PageNames().size(), 3u); // the five movies, two a page
}

TEST_F(MakePagesRoad, SessionsPublishingIntoTheSourceFolderMakeTheSamePages)
{
    AnswerFolder(FolderOf(Source));
    Click("bbtn_diropenmovie");
    std::map<std::string, std::string> first;
    for (int session = 1; session <= 3; ++session) {
        StartProgram(); // each session scans afresh
        Settings->findChild<TRadioGroup *>(QStringLiteral("rg_overwrite"))->SetItemIndex(1);
        ASSERT_NE(Build(), nullptr);
        Click("bbtn_makehtml");
        std::map<std::string, std::string> files = FolderContents(Source.path());
        files.merge(FolderContents(Html.path()));
        if (session == 1)
            first = files;
        EXPECT_EQ(files, first) << "session " << session;
    }
    EXPECT_EQ(first.size(), 6u + 3u + 1u); // five movies, the copy of 映画, three pages, the record of that copy
}

TEST_F(MakePagesRoad, TheLastMessageSaysHowManyFilesCouldNotBeCopied)
{
    const std::vector<std::vector<const char *>> cases = {
        {},
        {"b.amc"},
        {"a.amc", "b.amc", "c.amc", "d.amc", "映画.amc"}, // the source folder's every movie gone
    };
    for (const auto &removed : cases) {
        SCOPED_TRACE(removed.size());
        TempDir html;
        AnswerFolder(FolderOf(html));
        Click("bbtn_diropenhtml");
        ASSERT_NE(Build(), nullptr);
        QStringList failed; // in run order
        for (const TRecFileData &entry : Main->Store().List.FEntries)
            for (const char *name : removed)
                if (entry.OrgName == Sjis(name))
                    failed << Cp932ToQString(entry.CopyName);
        for (const char *name : removed)
            fs::rename(Source / name, SettingsDir / name);
        const qsizetype before = Messages.Messages().size();
        Click("bbtn_makehtml");
        for (const char *name : removed)
            fs::rename(SettingsDir / name, Source / name);

        // One box for each failure, then the last word.
        ASSERT_EQ(Messages.Messages().size() - before, static_cast<qsizetype>(removed.size()) + 1);
        const TMessageRecorder::TMessage last = Messages.Messages().last();
        const QString counts = QStringLiteral("動画: コピー %1、スキップ 0、失敗 %2 / ページ: 作成 3、変更なし 0、スキップ 0、失敗 0")
                                   .arg(5 - removed.size())
                                   .arg(removed.size());
        if (removed.empty()) {
            EXPECT_EQ(last, (TMessageRecorder::TMessage{TMsgKind::Information,
                                                        QStringLiteral("htmlファイルを作成しました。\r\n") + counts}));
            continue;
        }
        EXPECT_EQ(last.Kind, TMsgKind::Warning);
        EXPECT_EQ(last.Text, QStringLiteral("htmlファイルを作成しました。\r\n%1\r\n%2 個のファイルを作成またはコピーできませんでした: %3")
                                 .arg(counts)
                                 .arg(removed.size())
                                 .arg(failed.join(QStringLiteral("、"))));
    }
}

TEST_F(MakePagesRoad, AfterTheNameChangesFootersLeadToPagesThatExist)
{
    Tkpx_TagsFrm *tags = Build();
    ASSERT_NE(tags, nullptr);
    Main->HtmlNameHistory()->setEditText(QStringLiteral("top.html")); // after the build
    Click("bbtn_makehtml");
    EXPECT_EQ(tags->findChild<TPageTabStrip *>(QStringLiteral("tbc_tags"))->Tabs(),
              QStringList({QStringLiteral("top.html"), QStringLiteral("top02.html"), QStringLiteral("top03.html")}));
    const QRegularExpression link(QStringLiteral("HREF = \"([^\"]+)\""));
    int links = 0;
    for (const char *page : {"top.html", "top02.html", "top03.html"}) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(fs::exists(Html / page));
        const QString text = Cp932ToQString(ReadFileBytes(Html / page));
        for (auto found = link.globalMatch(text); found.hasNext(); ++links)
            EXPECT_TRUE(fs::exists(Html / found.next().captured(1).toStdString()));
    }
    EXPECT_EQ(links, 4);
    EXPECT_FALSE(fs::exists(Html / "ezmovie.html"));
}

TEST_F(MakePagesRoad, ARerunAsksOnceForAllOrStops)
{
    ASSERT_NE(Build(), nullptr);
    Settings->findChild<TRadioGroup *>(QStringLiteral("rg_overwrite"))->SetItemIndex(0); // 上書き確認する
    Click("bbtn_makehtml"); // the first run finds nothing to replace
    ASSERT_EQ(Messages.Messages().size(), 1);
    const SteppingClock clock(1000); // the progress dialog shows
    const struct
    {
        int button; // of はい, いいえ, すべて上書き, すべてスキップ, 中止
        QString last;
    } cases[] = {
        {2, QStringLiteral("htmlファイルを作成しました。")},
        {3, QStringLiteral("書き込んだhtmlファイルはありません。")}, // すべてスキップ: no success words
        {4, QStringLiteral("htmlファイルの作成を中止しました。")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        const qsizetype before = Messages.Messages().size();
        Messages.Choices = {c.button};
        Click("bbtn_makehtml");
        ASSERT_EQ(Messages.Messages().size() - before, 2); // one question, then the last word
        EXPECT_TRUE(Messages.Messages().at(before).Text.contains(QStringLiteral("置き換えますか？")));
        EXPECT_EQ(FirstLine(Messages.Messages().last().Text), c.last);
        EXPECT_FALSE(OverProgress.contains(c.last));
    }
}

// The box that ends a run leads on to the result: the first page in the
// browser or the html folder in the file manager, handed to the desktop.
TEST_F(MakePagesRoad, TheClosingBoxOpensTheFirstPageOrTheHtmlFolder)
{
    ASSERT_NE(Build(), nullptr);
    Settings->findChild<TRadioGroup *>(QStringLiteral("rg_overwrite"))->SetItemIndex(1); // reruns overwrite
    QStringList opened;
    const TTargetOpener opener =
        SetTargetOpener([&opened](const QString &target) { opened << QUrl(target).toLocalFile(); });
    QStringList offered;
    const TChoiceHandler choices = SetChoiceHandler(nullptr);
    SetChoiceHandler([&](TMsgKind kind, const QString &text, const QStringList &buttons) {
        offered = buttons;
        return choices(kind, text, buttons);
    });
    const QStringList opens[] = {
        {}, {FolderOf(Html) + QStringLiteral("/ezmovie.html")}, {FolderOf(Html) + QStringLiteral("/")}};
    for (int button = 0; button < 3; ++button) {
        opened.clear();
        Messages.Choices = {button};
        Click("bbtn_makehtml");
        EXPECT_EQ(FirstLine(Messages.Messages().last().Text), QStringLiteral("htmlファイルを作成しました。"));
        EXPECT_EQ(offered, QStringList({"OK", "ブラウザで開く", "フォルダを開く"}));
        EXPECT_EQ(opened, opens[button]);
    }
    // Nothing to look at, nothing offered.
    ShowRunResult(Main.get(), TMsgKind::Information, QStringLiteral("htmlファイルを作成しました。"),
                  PublishedPlaces(TPublishJob()));
    EXPECT_EQ(offered, QStringList({"OK"}));
    SetChoiceHandler(choices);
    SetTargetOpener(opener);
}

// "再読み込み" takes in what changed in the source folder and keeps the rest
// as the user left it: edits and order.
TEST_F(MakePagesRoad, RereadKeepsEditsAddsNewMoviesAndDropsGoneOnes)
{
    auto *reread = Main->findChild<QAction *>(QStringLiteral("MI_Reread"));
    EXPECT_FALSE(reread->isEnabled()); // nothing read yet
    ASSERT_NE(Build(), nullptr);
    EXPECT_TRUE(reread->isEnabled());
    // As the panels and the list window leave it: c.amc first, edited.
    std::vector<TRecFileData> &entries = Main->Store().List.FEntries;
    std::rotate(entries.begin(), entries.begin() + 2, entries.end()); // c, d, 映画, a, b
    entries[0].LinkName = Sjis("おすすめ");
    entries[0].DlKind = 1;
    entries[0].NoVideo = true;
    const TRecFileData edited = entries[0];
    fs::remove(Source / "d.amc");
    for (const char *name : {"f.amc", "e.amc", "c.amc"}) // c.amc grown since
        WriteFileBytes(Source / name, std::string(6000, 'm'));

    reread->trigger();
    EXPECT_EQ(Messages.Messages().last().Text, QStringLiteral("再読み込みしました（2 件追加、1 件削除）。"));
    QStringList names;
    for (const TRecFileData &entry : Main->Store().List.FEntries)
        names << Cp932ToQString(entry.OrgName);
    EXPECT_EQ(names, QStringList({"c.amc", "映画.amc", "a.amc", "b.amc", "e.amc", "f.amc"}));
    const TRecFileData &kept = Main->Store().List.FEntries[0];
    EXPECT_EQ(std::tie(kept.LinkName, kept.SaveName, kept.DlKind, kept.SoundKind, kept.NoVideo),
              std::tie(edited.LinkName, edited.SaveName, edited.DlKind, edited.SoundKind, edited.NoVideo));
    EXPECT_EQ(kept.FileSize, 6000); // as the folder says now
    EXPECT_EQ(Main->PageSettingsWindow()->PageNames().size(), 3u);
    EXPECT_EQ(LinkBox(Main->PageSettingsWindow(), 0)->text(), QStringLiteral("おすすめ"));

    // A folder with no movie now (a drive not mounted yet) costs no edit.
    for (const char *name : {"c.amc", "映画.amc", "a.amc", "b.amc", "e.amc", "f.amc"})
        fs::remove(Source / name);
    reread->trigger();
    EXPECT_EQ(Messages.Messages().last().Kind, TMsgKind::Warning);
    EXPECT_EQ(Main->Store().List.FEntries[0].LinkName, edited.LinkName);
}
