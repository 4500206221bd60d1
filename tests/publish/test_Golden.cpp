// The dry-run list and the page bytes of one fixed publication, kept as
// files: reworking the engine must leave every byte of both as it is.
// KPX_WRITE_GOLDEN=<folder> writes the files anew instead of comparing.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QString>

#include "PublishProgram.h"
#include "support/TestSupport.h"

using namespace kpx::test;
namespace fs = std::filesystem;

namespace {

const fs::path GoldenFolder = KPX_GOLDEN_DIR;

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void ExpectGolden(const std::string &name, const std::string &bytes)
{
    if (const char *writeTo = std::getenv("KPX_WRITE_GOLDEN")) {
        WriteFileBytes(fs::path(writeTo) / name, bytes);
        return;
    }
    EXPECT_EQ(bytes, ReadFileBytes(GoldenFolder / name)) << name;
}

} // namespace

TEST(Golden, DryRunListAndPagesStayByteForByte)
{
    const TempDir root;
    const fs::path source = root / "source";
    const fs::path html = root / "html";
    const fs::path movies = html / "mov";
    fs::create_directories(source);
    fs::create_directories(movies);
    const std::pair<const char *, size_t> files[] = {
        {"Alpha.amc", 1000}, {"beta.AMC", 2345}, {"映画.amc", 12345}, {"ｴｲｶﾞ.amc", 999},
        {"clip 1.amc", 1000000}, {"z.amc", 7}, {"MOVIE.amc", 50},
    };
    for (const auto &[name, bytes] : files)
        WriteFileBytes(source / name, std::string(bytes, 'm'));
    WriteFileBytes(movies / "alpha.amc", "an earlier copy");
    const fs::path ini = root / "kpx_app.ini";
    WriteSettingsFile(ini, {
                               "[Dirs]",
                               "org_mov_dir=" + source.native() + "/",
                               "html_dir=" + html.native() + "/",
                               "ezmovie_dir=" + movies.native() + "/",
                               "[html]",
                               "ItemCount=3",
                               "[OverWrite]",
                               "Index=1",
                               "[html_header]",
                               "Lines0=<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>",
                               "Lines1=<title>映画 %i / %I</title>",
                               "[html_footer1]",
                               "Lines0=<a href=\"%n\">次へ</a>",
                               "[html_footer2]",
                               "Lines0=<a href=\"%p\">前へ</a> <a href=\"%N\">次へ</a>",
                               "[html_footer3]",
                               "Lines0=<a href=\"%P\">前へ</a></body>",
                           });
    const QStringList arguments{QStringLiteral("--ini"), Arg(ini), QStringLiteral("--date"),
                                QStringLiteral("2024-05-06")};

    const TProgramRun planned = RunProgram(QStringList(arguments) << QStringLiteral("--dry-run"));
    ASSERT_EQ(planned.ExitCode, 0) << planned.Err;
    ExpectGolden("dry_run.txt", Replaced(planned.Out, root.path().native(), "<root>"));

    const TProgramRun published = RunProgram(QStringList(arguments) << QStringLiteral("--quiet"));
    ASSERT_EQ(published.ExitCode, 0) << published.Err;
    for (const char *page : {"ezmovie.html", "ezmovie02.html", "ezmovie03.html"})
        ExpectGolden(page, ReadFileBytes(html / page));
}
