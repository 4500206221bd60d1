// kpx_publish as its users run it: the real executable on temporary folders
// with a temporary settings file.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <map>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include "PublishProgram.h"
#include "pages/EntryScan.h"
#include "pages/PageGenerator.h"
#include "settings/file/DefaultTemplates.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using namespace kpx::test;
namespace fs = std::filesystem;
using std::chrono::year_month_day;

namespace {

constexpr year_month_day May6{std::chrono::year(2024), std::chrono::May, std::chrono::day(6)};
constexpr char Usage[] = "使い方: kpx_publish";

class NullPrompt : public TUserPrompt
{
public:
    bool Ask(const std::string &) override { return false; }
    void Warning(const std::string &) override {}
    void Error(const std::string &text) override { ADD_FAILURE() << Cp932ToUtf8(text); }
    void Information(const std::string &) override {}
};

size_t Count(const std::string &text, std::string_view part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

class PublishProgramTest : public ::testing::Test
{
protected:
    TempDir root;
    fs::path source = root / "source";
    fs::path html = root / "html";
    fs::path temp = root / "temp";
    fs::path ini = root / "kpx_app.ini";
    TProgramSetup setup;

    void SetUp() override
    {
        for (const fs::path &folder : {source, html, temp})
            fs::create_directory(folder);
        setup.Environment.insert(QStringLiteral("TMPDIR"), Arg(temp));
        WriteSettingsFile(ini, {"[Dirs]", dirLine("org_mov_dir", source), dirLine("html_dir", html),
                                dirLine("ezmovie_dir", html)});
    }

    static std::string dirLine(const char *key, const fs::path &folder)
    {
        return std::string(key) + "=" + folder.native() + "/";
    }
    void addMovie(std::string_view utf8Name, size_t bytes = 1000)
    {
        std::string content(bytes, '\0');
        for (size_t i = 0; i < bytes; ++i)
            content[i] = static_cast<char>((i + utf8Name.size()) * 7 % 251);
        WriteFileBytes(source / utf8Name, content);
    }
    TProgramRun run(QStringList arguments)
    {
        arguments.prepend(Arg(ini));
        arguments.prepend(QStringLiteral("--ini"));
        return RunProgram(arguments, setup);
    }
    // The make-pages road of the engine after a fresh "タグ設定", into another folder.
    void publishThroughTheEngine(const TScanOptions &scan, int perPage, const TPageTemplates &templates,
                                 const fs::path &htmlOut, const fs::path &movieOut)
    {
        TEntryList list;
        ASSERT_TRUE(ScanSourceFolder(Sjis(source.native() + "/"), scan, list.FEntries));
        list.FEntryCount = static_cast<std::int32_t>(list.FEntries.size());
        LayOutPages(list, perPage);
        TPublishJob job;
        job.SourceDir = Sjis(source.native() + "/");
        job.HtmlDir = Sjis(htmlOut.native() + "/");
        job.MovieDir = Sjis(movieOut.native() + "/");
        job.HtmlFileName = "ezmovie.html";
        job.PageNames = PageFileNames(job.HtmlFileName, list.FPageCount);
        job.Templates = templates;
        job.Policy = TOverwritePolicy::Overwrite;
        NullPrompt prompt;
        ASSERT_TRUE(MakeHtmlFiles(job, list, prompt).Complete());
    }
};

TEST_F(PublishProgramTest, PagesAndMoviesEqualThoseOfTheEngineRoad)
{
    for (const char *name : {"Alpha.amc", "beta.AMC", "映画.amc", "ｴｲｶﾞ.amc", "clip 1.amc", "Ｆｕｌｌ.amc", "z.amc"})
        addMovie(name);
    fs::create_directory(html / "mov");
    WriteSettingsFile(ini, {
                               "[Dirs]",
                               dirLine("org_mov_dir", source),
                               dirLine("html_dir", html),
                               dirLine("ezmovie_dir", html / "mov"),
                               "[html]",
                               "ItemCount=3",
                               "[LowerCase]",
                               "Checked=0",
                               "[ReName]",
                               "Format='kp'yyyymmdd",
                               "[OverWrite]",
                               "Index=1",
                               "[html_header]",
                               "Lines0=<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>",
                               "Lines1=",
                               "Lines2=<title>映画 %i</title>",
                               "[html_footer1]",
                               "Lines0=<a href=\"%n\">次へ</a>",
                               "[html_footer2]",
                               "Lines0=<a href=\"%p\">前へ</a> <a href=\"%N\">次へ</a>",
                               "Lines1=</body>",
                           });
    const std::string settingsBefore = ReadFileBytes(ini);

    const TProgramRun published = run({"--date", "2024-05-06", "--quiet"});
    ASSERT_EQ(published.ExitCode, 0) << published.Err;
    EXPECT_EQ(published.Err, "");
    EXPECT_EQ(ReadFileBytes(ini), settingsBefore); // the settings file is only read
    EXPECT_TRUE(fs::is_empty(temp));                // temporary pages are gone

    const fs::path engineHtml = root / "engine";
    fs::create_directories(engineHtml / "mov");
    TPageTemplates templates;
    templates.Header = Sjis("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<title>映画 %i</title>\r\n");
    // Footer 3 stays blank: the others hold text.
    templates.Footers = {Sjis("<a href=\"%n\">次へ</a>\r\n"), Sjis("<a href=\"%p\">前へ</a> <a href=\"%N\">次へ</a>\r\n</body>\r\n"),
                         ""};
    publishThroughTheEngine({false, "'kp'yyyymmdd", May6}, 3, templates, engineHtml, engineHtml / "mov");

    const auto pages = FolderContents(html);
    EXPECT_EQ(pages.size(), 3u + 7u + 1u); // three pages, seven movies, the movie folder
    EXPECT_EQ(pages, FolderContents(engineHtml));
    EXPECT_TRUE(pages.count("mov/kp2024050601.amc"));
    EXPECT_NE(pages.at("ezmovie03.html").find("data=mov/"), std::string::npos);
}

TEST_F(PublishProgramTest, SettingsFileWithoutTemplatesGivesTheDefaultPages)
{
    for (const char *name : {"One.amc", "映画.amc", "two.amc", "three.amc"})
        addMovie(name);
    const TProgramRun published = run({"--date", "2024-05-06", "--quiet"});
    ASSERT_EQ(published.ExitCode, 0) << published.Err;

    const fs::path engineHtml = root / "engine";
    fs::create_directory(engineHtml);
    TPageTemplates templates;
    templates.Header = Sjis(DefaultHeader);
    for (size_t i = 0; i < 3; ++i)
        templates.Footers[i] = Sjis(DefaultFooters[i]);
    publishThroughTheEngine({true, "'mv'yymmdd", May6}, 3, templates, engineHtml, engineHtml);

    const auto pages = FolderContents(html);
    EXPECT_EQ(pages.size(), 2u + 4u);
    EXPECT_EQ(pages, FolderContents(engineHtml));
    EXPECT_TRUE(pages.count("one.amc"));
    EXPECT_TRUE(pages.count("mv24050601.amc"));
}

TEST_F(PublishProgramTest, OptionsOverrideTheSettingsFile)
{
    for (const char *name : {"a.amc", "b.amc", "c.amc", "映画.amc"})
        addMovie(name);
    const fs::path otherHtml = root / "other";
    fs::create_directory(otherHtml);
    WriteFileBytes(otherHtml / "top.html", "old page");
    WriteSettingsFile(ini, {"[Dirs]", "org_mov_dir=/nonexistent/source/", "html_dir=/nonexistent/html/",
                            "ezmovie_dir=/nonexistent/movies/", "[html]", "ItemCount=1", "[OverWrite]", "Index=3",
                            "[ReName]", "Format='kp'yyyymmdd"});

    const TProgramRun published = run({"--source", Arg(source), "--html-dir", Arg(otherHtml), "--per-page", "2",
                                       "--name", "top.html", "--policy", "overwrite", "--date", "2023-01-02",
                                       "--quiet"});
    ASSERT_EQ(published.ExitCode, 0) << published.Err;
    const auto files = FolderContents(otherHtml);
    EXPECT_EQ(files.size(), 2u + 4u);
    ASSERT_TRUE(files.count("top.html") && files.count("top02.html"));
    EXPECT_EQ(Count(files.at("top.html"), "<object "), 2u);
    EXPECT_TRUE(files.count("kp2023010201.amc")); // the pattern of the file, the date of the option
    EXPECT_TRUE(fs::is_empty(html));
}

TEST_F(PublishProgramTest, MoviesFollowTheHtmlFolderUnlessTheirOwnIsGiven)
{
    addMovie("a.amc");
    const fs::path settingsMovies = root / "settings-movies";
    const fs::path optionMovies = root / "option-movies";
    fs::create_directory(settingsMovies);
    fs::create_directory(optionMovies);
    WriteSettingsFile(ini, {"[Dirs]", dirLine("org_mov_dir", source), dirLine("html_dir", root / "nowhere"),
                            dirLine("ezmovie_dir", settingsMovies)});

    ASSERT_EQ(run({"--html-dir", Arg(html), "--quiet"}).ExitCode, 0);
    EXPECT_TRUE(fs::exists(html / "a.amc"));
    EXPECT_TRUE(fs::is_empty(settingsMovies));

    const fs::path pages = root / "pages";
    fs::create_directory(pages);
    ASSERT_EQ(run({"--html-dir", Arg(pages), "--movie-dir", Arg(optionMovies), "--quiet"}).ExitCode, 0);
    EXPECT_TRUE(fs::exists(optionMovies / "a.amc"));
    EXPECT_NE(ReadFileBytes(pages / "ezmovie.html").find("data=../option-movies/a.amc "), std::string::npos);

    // Without --html-dir the settings file's own movie folder holds.
    WriteSettingsFile(ini, {"[Dirs]", dirLine("org_mov_dir", source), dirLine("html_dir", pages),
                            dirLine("ezmovie_dir", settingsMovies)});
    ASSERT_EQ(run({"--quiet"}).ExitCode, 0);
    EXPECT_TRUE(fs::exists(settingsMovies / "a.amc"));
}

TEST_F(PublishProgramTest, WithoutIniItReadsTheDesktopProgramsFileBesideIt)
{
    addMovie("a.amc");
    const fs::path installed = root / "bin";
    const fs::path decoyHtml = root / "decoy";
    fs::create_directories(installed);
    fs::create_directory(decoyHtml);
    fs::copy_file(KPX_PUBLISH_EXE, installed / "kpx_publish");
    WriteSettingsFile(installed / "kpx_app.ini", {"[Dirs]", dirLine("org_mov_dir", source), dirLine("html_dir", html)});
    WriteSettingsFile(installed / "kpx_publish.ini",
                      {"[Dirs]", dirLine("org_mov_dir", source), dirLine("html_dir", decoyHtml)});

    setup.Program = Arg(installed / "kpx_publish");
    const TProgramRun published = RunProgram({QStringLiteral("--quiet")}, setup);
    ASSERT_EQ(published.ExitCode, 0) << published.Err;
    EXPECT_TRUE(fs::exists(html / "ezmovie.html"));
    EXPECT_TRUE(fs::is_empty(decoyHtml));
}

TEST_F(PublishProgramTest, DryRunListsWhatEachPolicyWouldDoAndWritesNothing)
{
    // The plain file keeps its own name; the Japanese one's serial skips it.
    for (const char *name : {"clip.amc", "mv24050601.amc", "映画.amc"})
        addMovie(name);
    WriteFileBytes(html / "clip.amc", "old movie");
    const auto before = FolderContents(root.path());
    const auto listing = [&](const char *first) {
        const std::string folder = html.native() + "/";
        return std::string(first) + "\t動画\t" + folder + "clip.amc\n" + "新規\t動画\t" + folder + "mv24050601.amc\n"
               + "新規\t動画\t" + folder + "mv24050602.amc\n" + "新規\tページ\t" + folder + "ezmovie.html\n";
    };
    const std::vector<std::tuple<const char *, std::string>> cases{
        {"ask", listing("置き換えない")}, // no terminal to ask on
        {"overwrite", listing("上書き")},
        {"skip", listing("スキップ")},
    };
    for (const auto &[policy, expected] : cases) {
        SCOPED_TRACE(policy);
        const TProgramRun planned = run({"--dry-run", "--policy", policy, "--date", "2024-05-06"});
        EXPECT_EQ(planned.ExitCode, 0) << planned.Err;
        EXPECT_EQ(planned.Out, expected);
        EXPECT_NE(planned.Err.find("何も書き込んでいません"), std::string::npos);
    }

    const TProgramRun refused = run({"--dry-run", "--policy", "refuse", "--date", "2024-05-06"});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Out, "");
    EXPECT_EQ(refused.Err, "ezmovieディレクトリに同名のファイル「clip.amc」が\n存在しますので、実行を中止します。\n");
    EXPECT_EQ(FolderContents(root.path()), before);

    fs::remove(html / "clip.amc");
    const TProgramRun strict = run({"--dry-run", "--policy", "refuse", "--date", "2024-05-06", "--quiet"});
    EXPECT_EQ(strict.ExitCode, 0);
    EXPECT_EQ(strict.Out, listing("新規"));
    EXPECT_EQ(strict.Err, "");
    EXPECT_TRUE(fs::is_empty(html));
}

TEST_F(PublishProgramTest, DryRunListsEachStepOnOneLineOfThreeColumns)
{
    addMovie("tab\there.amc"); // not handset-safe: a pattern name
    const TProgramRun planned =
        run({"--dry-run", "--date", "2024-05-06", "--quiet", "--name", QStringLiteral("t\tb\\c\nd\x01.html")});
    EXPECT_EQ(planned.ExitCode, 0) << planned.Err;
    const std::string folder = html.native() + "/";
    EXPECT_EQ(planned.Out, "新規\t動画\t" + folder + "mv24050601.amc\n" + "新規\tページ\t" + folder
                               + "t\\tb\\\\c\\nd\\x01.html\n");
}

TEST_F(PublishProgramTest, StrictPolicyRefusesWithTheDialogTextBeforeTouchingAnything)
{
    addMovie("a.amc");
    addMovie("b.amc");
    WriteFileBytes(html / "ezmovie02.html", "old page");
    const auto before = FolderContents(root.path());
    const TProgramRun refused = run({"--policy", "refuse", "--per-page", "1"});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Err, "htmlディレクトリに同名のファイル「ezmovie02.html」が\n存在しますので、実行を中止します。\n");
    EXPECT_EQ(FolderContents(root.path()), before);
}

TEST_F(PublishProgramTest, AskWithoutATerminalReplacesNothingAndSaysSoPerFile)
{
    addMovie("a.amc");
    addMovie("b.amc");
    WriteFileBytes(html / "a.amc", "old movie");
    WriteFileBytes(html / "ezmovie.html", "old page");
    const TProgramRun published = run({"--policy", "ask"});
    EXPECT_EQ(published.ExitCode, 0) << published.Err;
    EXPECT_EQ(ReadFileBytes(html / "a.amc"), "old movie");
    EXPECT_EQ(ReadFileBytes(html / "ezmovie.html"), "old page");
    EXPECT_TRUE(fs::exists(html / "b.amc"));
    for (const char *name : {"a.amc", "ezmovie.html"})
        EXPECT_NE(published.Err.find("ファイル「" + html.native() + "/" + name + "」は既に存在します。\n置き換えますか？ いいえ"),
                  std::string::npos)
            << published.Err;
    EXPECT_NE(published.Err.find("動画: コピー 1、スキップ 1、失敗 0 / ページ: 作成 0、変更なし 0、スキップ 1、失敗 0"),
              std::string::npos);
}

TEST_F(PublishProgramTest, AskOnATerminalReplacesWhatTheUserAllows)
{
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0)
        GTEST_SKIP() << "no pseudo-terminal to answer on";
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    addMovie("a.amc");
    addMovie("b.amc");
    WriteFileBytes(html / "a.amc", "old a");
    WriteFileBytes(html / "b.amc", "old b");
    const std::string answers = "n\ny\n";
    ASSERT_EQ(::write(terminal, answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));

    setup.StandardInputFile = QString::fromLocal8Bit(::ptsname(terminal));
    const TProgramRun published = run({"--policy", "ask", "--quiet"});
    ::close(terminal);
    EXPECT_EQ(published.ExitCode, 0) << published.Err;
    EXPECT_EQ(Count(published.Err, "置き換えますか？ (y/n) "), 2u);
    EXPECT_EQ(ReadFileBytes(html / "a.amc"), "old a");
    EXPECT_EQ(ReadFileBytes(html / "b.amc"), ReadFileBytes(source / "b.amc"));
}

TEST_F(PublishProgramTest, ProgressPerPageAndSummaryUnlessQuiet)
{
    for (const char *name : {"a.amc", "b.amc", "c.amc", "d.amc"})
        addMovie(name, 512 * 1024);
    const TProgramRun published = run({"--per-page", "2"});
    ASSERT_EQ(published.ExitCode, 0);
    EXPECT_EQ(published.Err, "ページ 1/2 ezmovie.html: 3 ファイル、1.0 MiB 完了\n"
                             "ページ 2/2 ezmovie02.html: 6 ファイル、2.0 MiB 完了\n"
                             "動画: コピー 4、スキップ 0、失敗 0 / ページ: 作成 2、変更なし 0、スキップ 0、失敗 0\n");
    EXPECT_EQ(published.Out, "");

    const TProgramRun quiet = run({"--per-page", "2", "--policy", "skip", "--quiet"});
    EXPECT_EQ(quiet.ExitCode, 0);
    EXPECT_EQ(quiet.Err, "");
}

TEST_F(PublishProgramTest, FileThatFailsGivesStatusOneAfterTheRest)
{
    addMovie("a.amc");
    addMovie("b.amc");
    fs::create_directory(html / "a.amc"); // no movie can replace a folder
    const TProgramRun published = run({"--policy", "overwrite"});
    EXPECT_EQ(published.ExitCode, 1);
    EXPECT_NE(published.Err.find("a.amc"), std::string::npos);
    EXPECT_NE(published.Err.find("動画: コピー 1、スキップ 0、失敗 1"), std::string::npos);
    EXPECT_TRUE(fs::exists(html / "b.amc"));
    EXPECT_TRUE(fs::exists(html / "ezmovie.html"));
}

TEST_F(PublishProgramTest, WrongUsageGivesStatusTwoWithTheReasonAndTheUsage)
{
    addMovie("a.amc");
    const std::vector<std::pair<QStringList, std::string>> cases{
        {{"--bogus"}, "不明なオプションです: --bogus"},
        {{"leftover"}, "余分な引数です: leftover"},
        {{"--per-page", "0"}, "--per-page には 1 から 10 までの数を指定してください: 0"},
        {{"--per-page=abc"}, "--per-page には 1 から 10 までの数を指定してください: abc"},
        {{"--policy", "never"}, "--policy には ask, overwrite, skip, refuse, update のいずれかを指定してください: never"},
        {{"--date", "2024-02-30"}, "--date には YYYY-MM-DD 形式の日付を指定してください: 2024-02-30"},
        {{"--source"}, "--source には値が必要です。"},
        {{"--name", "sub/page.html"}, "--name にはフォルダを含まないファイル名を指定してください: sub/page.html"},
        {{"--name", "😀.html"}, "--name の「😀.html」には、ページに書けない文字が含まれています。"},
    };
    for (const auto &[arguments, reason] : cases) {
        SCOPED_TRACE(reason);
        const TProgramRun refused = run(arguments);
        EXPECT_EQ(refused.ExitCode, 2);
        EXPECT_EQ(refused.Err.substr(0, refused.Err.find('\n')), "kpx_publish: " + reason);
        EXPECT_NE(refused.Err.find(Usage), std::string::npos);
        EXPECT_EQ(refused.Out, "");
    }
    EXPECT_TRUE(fs::is_empty(html));

    const fs::path unspellable = root / "映画😀";
    fs::create_directory(unspellable);
    const TProgramRun folder = run({"--source", Arg(unspellable)});
    EXPECT_EQ(folder.ExitCode, 2);
    EXPECT_NE(folder.Err.find("には、ページに書けない文字が含まれています。"), std::string::npos);

    WriteSettingsFile(ini, {"[html]", "ItemCount=2"});
    const TProgramRun unnamed = run({});
    EXPECT_EQ(unnamed.ExitCode, 2);
    EXPECT_EQ(unnamed.Err.substr(0, unnamed.Err.find('\n')),
              "kpx_publish: 元ezmovieディレクトリを選択してください。(--source DIR)");
}

TEST_F(PublishProgramTest, BadInputGivesOneClearLineAndItsStatus)
{
    const fs::path notAFolder = root / "file";
    WriteFileBytes(notAFolder, "x");
    const std::string folder = html.native() + "/";
    const struct
    {
        QStringList arguments;
        std::string message;
        int exitCode; // 2: what the command line names is not there
    } cases[] = {
        {{"--source", Arg(root / "missing")}, "元ezmovieディレクトリ「" + (root / "missing").native() + "/」が見つかりません。", 2},
        {{"--html-dir", Arg(notAFolder)}, "htmlディレクトリ「" + notAFolder.native() + "/」はフォルダではありません。", 2},
        {{"--movie-dir", Arg(root / "gone")}, "ezmovieディレクトリ「" + (root / "gone").native() + "/」が見つかりません。", 2},
        {{"--ini", Arg(root / "none.ini")}, "設定ファイル「" + (root / "none.ini").native() + "」がありません。", 2},
        // The desktop program's own warning, on its two lines.
        {{}, "指定された元ezmovieディレクトリに\nezmovieファイルが存在しません。", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const TProgramRun refused = run(c.arguments);
        EXPECT_EQ(refused.ExitCode, c.exitCode);
        EXPECT_EQ(refused.Err, "kpx_publish: " + c.message + "\n");
    }
    const TProgramRun unreadable = run({"--ini", Arg(html)});
    EXPECT_EQ(unreadable.ExitCode, 1);
    EXPECT_EQ(unreadable.Err.rfind("kpx_publish: 設定ファイル " + html.native() + " を読み込めません: ", 0), 0u);
    EXPECT_EQ(Count(unreadable.Err, "\n"), 1u);
    EXPECT_TRUE(fs::is_empty(html));
}

TEST_F(PublishProgramTest, HtmlFolderWithoutWritePermissionIsRefused)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    addMovie("a.amc");
    fs::permissions(html, fs::perms::owner_read | fs::perms::owner_exec);
    const TProgramRun refused = run({});
    fs::permissions(html, fs::perms::owner_all);
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Err, "kpx_publish: htmlディレクトリ「" + html.native() + "/」に書き込めません。\n");
}

TEST_F(PublishProgramTest, HelpAndVersionGoToStandardOutput)
{
    const TProgramRun version = RunProgram({QStringLiteral("--version")}, setup);
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "Kinopage Lite 1.00\n");
    EXPECT_EQ(version.Err, "");

    const TProgramRun help = RunProgram({QStringLiteral("--help")}, setup);
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out.rfind(Usage, 0), 0u);
    for (const char *option : {"--ini", "--source", "--html-dir", "--movie-dir", "--name", "--per-page", "--policy",
                               "--date", "--dry-run", "--quiet", "--help", "--version"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
}

TEST_F(PublishProgramTest, UpdateRewritesExactlyWhatChanged)
{
    for (const char *name : {"a.amc", "b.amc", "c.amc", "d.amc"})
        addMovie(name);
    const QStringList arguments{QStringLiteral("--per-page"), QStringLiteral("2"), QStringLiteral("--quiet")};
    ASSERT_EQ(run(arguments + QStringList{"--policy", "overwrite"}).ExitCode, 0);
    const auto identity = [&](const char *name) {
        struct stat info{};
        ::stat((html / name).c_str(), &info);
        return std::pair<ino_t, long long>(info.st_ino, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec);
    };
    const char *files[] = {"a.amc", "b.amc", "c.amc", "d.amc", "ezmovie.html", "ezmovie02.html"};
    std::map<std::string, std::pair<ino_t, long long>> before;
    for (const char *name : files)
        before[name] = identity(name);

    // a: other bytes of the same size, a newer time; d: another size, so its page's text changes.
    WriteFileBytes(source / "a.amc", std::string(1000, 'A'));
    fs::last_write_time(source / "a.amc", fs::last_write_time(source / "a.amc") + std::chrono::seconds(5));
    WriteFileBytes(source / "d.amc", std::string(1500, 'D'));
    const TProgramRun planned = run(arguments + QStringList{"--policy", "update", "--dry-run"});
    EXPECT_EQ(Count(planned.Out, "変更なし"), 3u) << planned.Out; // b, c and the first page
    EXPECT_EQ(Count(planned.Out, "上書き"), 3u) << planned.Out;

    ASSERT_EQ(run(arguments + QStringList{"--policy", "update"}).ExitCode, 0);
    for (const char *name : files) {
        const bool rewritten = std::string_view(name) == "a.amc" || std::string_view(name) == "d.amc"
                               || std::string_view(name) == "ezmovie02.html";
        EXPECT_EQ(identity(name) != before[name], rewritten) << name;
    }
    EXPECT_EQ(ReadFileBytes(html / "a.amc"), std::string(1000, 'A'));
    EXPECT_EQ(ReadFileBytes(html / "d.amc"), std::string(1500, 'D'));
    EXPECT_EQ(fs::last_write_time(html / "a.amc"), fs::last_write_time(source / "a.amc"));
}

TEST_F(PublishProgramTest, AFileSizeLimitFailsTheFileNotTheRun)
{
    addMovie("big.amc", 500000);
    addMovie("small.amc", 1000);
    // As `ulimit -f 200` leaves it: 200 blocks of 1 KiB.
    TProgramSetup limited = setup;
    limited.Program = QStringLiteral("/bin/sh");
    const TProgramRun published = RunProgram({QStringLiteral("-c"), QStringLiteral("ulimit -f 200; exec \"$@\""),
                                              QStringLiteral("sh"), QStringLiteral(KPX_PUBLISH_EXE),
                                              QStringLiteral("--ini"), Arg(ini), QStringLiteral("--policy"),
                                              QStringLiteral("overwrite")},
                                             limited);
    EXPECT_EQ(published.ExitCode, 1);
    EXPECT_NE(published.Err.find("big.amc」へコピーできません。\nファイルが大きすぎます。"), std::string::npos)
        << published.Err;
    EXPECT_EQ(ReadFileBytes(html / "small.amc"), ReadFileBytes(source / "small.amc"));
    EXPECT_FALSE(fs::exists(html / "big.amc"));
    EXPECT_TRUE(fs::exists(html / "ezmovie.html"));
}

TEST_F(PublishProgramTest, PipesAreToldAndNeverWaitedOn)
{
    addMovie("a.amc");
    ASSERT_EQ(::mkfifo((source / "pipe.amc").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((html / "ezmovie.html").c_str(), 0644), 0);
    for (const bool dryRun : {true, false}) {
        QStringList arguments{QStringLiteral("--policy"), QStringLiteral("update")};
        if (dryRun)
            arguments << QStringLiteral("--dry-run");
        const TProgramRun published = run(arguments);
        EXPECT_EQ(published.ExitCode, 0) << published.Err;
        EXPECT_NE(published.Err.find("動画ではないため除外しました: pipe.amc（名前付きパイプです）"), std::string::npos)
            << published.Err;
    }
    EXPECT_TRUE(fs::is_regular_file(html / "ezmovie.html"));
    EXPECT_NE(ReadFileBytes(html / "ezmovie.html").find("data=a.amc"), std::string::npos);
}

TEST_F(PublishProgramTest, APageThatCannotBeWrittenEndsTheRunWithStatusOne)
{
    for (const char *name : {"a.amc", "b.amc", "c.amc", "d.amc"})
        addMovie(name);
    fs::create_directory(html / "ezmovie.html");
    const TProgramRun published = run({"--per-page", "2", "--policy", "overwrite"});
    EXPECT_EQ(published.ExitCode, 1);
    EXPECT_NE(published.Err.find("途中で終了しました: 全 2 ページのうち未作成は ezmovie.html ～ ezmovie02.html。"),
              std::string::npos)
        << published.Err;
    EXPECT_FALSE(fs::exists(html / "ezmovie02.html"));
}

TEST_F(PublishProgramTest, ASecondRunIsRefusedWhileAnotherHoldsTheFolder)
{
    addMovie("a.amc");
    const int held = ::open(html.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0); // as a run of either program holds it
    const TProgramRun refused = run({"--policy", "overwrite"});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Err, "ezmovieディレクトリ「" + html.native() + "/」では別のhtmlファイル作成が実行中です。\n"
                           "終わってからもう一度実行してください。\n");
    EXPECT_TRUE(fs::is_empty(html));
    ::close(held);
    EXPECT_EQ(run({"--policy", "overwrite"}).ExitCode, 0);
}

TEST_F(PublishProgramTest, CopiesOthersCannotReadAreNamedEvenWhenQuiet)
{
    addMovie("private.amc");
    addMovie("public.amc");
    fs::permissions(source / "private.amc", fs::perms::owner_read | fs::perms::owner_write);
    const TProgramRun published = run({"--quiet"});
    EXPECT_EQ(published.ExitCode, 0); // the copy keeps the movie's mode; the run did what it was asked
    EXPECT_EQ(fs::status(html / "private.amc").permissions() & fs::perms::others_read, fs::perms::none);
    EXPECT_NE(published.Err.find("kpx_publish: 次の 1 個のファイルは、ほかのユーザーが読めない権限"), std::string::npos)
        << published.Err;
    EXPECT_NE(published.Err.find("\nprivate.amc\n"), std::string::npos) << published.Err;
}
