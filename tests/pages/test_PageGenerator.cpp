#include <gtest/gtest.h>

#include <cstdlib>

#include "FakePrompt.h"
#include "PublishFixture.h"
#include "pages/PageGenerator.h"
#include "support/TestSupport.h"
#include "text/Cp932.h"

using namespace kpx;
using kpx::test::FakePrompt;
using kpx::test::ReadFileBytes;
using kpx::test::TempDir;
using kpx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// The expected download block, spelled out line by line.
std::string Block(const std::string &data, const std::string &copyright, const std::string &standby,
                  const std::string &groupedSize, const std::string &title, const std::string &size,
                  const std::string &disposition)
{
    return "<object data=" + data + " type=\"application/x-mpeg\" copyright=\"" + copyright + "\" \r\n"
           + "    standby=\"" + standby + " (" + groupedSize + "byte)\">\r\n"
           + "\x81\x40<param name=\"title\" value=\"" + title + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"size\" value=\"" + size + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"disposition\" value=\"" + disposition + "\" valuetype=\"data\" />\r\n"
           + "</object>\r\n\r\n";
}

TRecFileData Entry(const std::string &name, std::int32_t size)
{
    TRecFileData entry;
    entry.OrgName = name + ".amc";
    entry.CopyName = name + ".amc";
    entry.FileSize = size;
    entry.LinkName = name;
    entry.SaveName = name;
    return entry;
}

} // namespace

TEST(MovieBlock, FillsEveryPlaceholder)
{
    EXPECT_EQ(MakeMovieBlock(Entry("clip", 123456), ""),
              Block("clip.amc", "no", "clip", "123,456", "clip", "123456", "devdl1q"));

    TRecFileData entry = Entry("clip", 999);
    entry.DlKind = 1;
    entry.NoVideo = true;
    entry.SoundKind = 1;
    entry.LinkName = "a&b<c>";
    entry.SaveName = Sjis("映画");
    EXPECT_EQ(MakeMovieBlock(entry, "../mov/"),
              Block("../mov/clip.amc", "yes", "a&b<c>", "999", Sjis("映画"), "999", "devdl2bm"));

    entry.FileSize = 1000;
    entry.SoundKind = 2;
    entry.NoVideo = false;
    EXPECT_EQ(MakeMovieBlock(entry, ""), Block("clip.amc", "yes", "a&b<c>", "1,000", Sjis("映画"), "1000", "devdl2n"));
}

TEST(PageFileName, NumbersFromThePageAfterTheFirst)
{
    EXPECT_EQ(PageFileName("ezmovie.html", 1), "ezmovie.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 2), "ezmovie02.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 10), "ezmovie10.html");
    EXPECT_EQ(PageFileName("ezmovie.html", 100), "ezmovie100.html");
    EXPECT_EQ(PageFileName("a.b.html", 3), "a.b03.html");
    EXPECT_EQ(PageFileName("index", 2), "index02.html");
    EXPECT_EQ(PageFileNames("p.html", 3), (std::vector<std::string>{"p.html", "p02.html", "p03.html"}));
}

class MakeHtmlFilesTest : public kpx::test::PublishFixture
{
protected:
    void SetUp() override
    {
        PublishFixture::SetUp();
        job.Templates.Header = "H%i/%I";
        job.Templates.Footers = {"F1 %n", "F2 %p %n", "F3 %p"};
        job.Policy = TOverwritePolicy::Overwrite;
    }

    void addMovies(int count, int perPage)
    {
        for (int i = 1; i <= count; ++i) {
            const std::string name = "m" + std::to_string(i);
            WriteFileBytes(source / (name + ".amc"), std::string(static_cast<size_t>(i) * 1000, 'x'));
            list.FEntries.push_back(Entry(name, i * 1000));
        }
        list.FEntryCount = count;
        list.FPageItemCount = perPage;
        list.FPageCount = (count + perPage - 1) / perPage;
        job.PageNames = PageFileNames(job.HtmlFileName, list.FPageCount);
    }
    std::string block(int i) const
    {
        const std::string name = "m" + std::to_string(i);
        const std::string size = std::to_string(i * 1000);
        const std::string grouped = std::to_string(i) + ",000";
        return Block(name + ".amc", "no", name, grouped, name, size, "devdl1q") + "\r\n";
    }
    std::string page(const char *name) const { return ReadFileBytes(html / name); }
};

TEST_F(MakeHtmlFilesTest, OnePageHasNoFooter)
{
    addMovies(2, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2));
    EXPECT_EQ(ReadFileBytes(html / "m2.amc"), std::string(2000, 'x'));
    EXPECT_TRUE(fs::is_empty(temp.path())); // temporary pages are removed
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(MakeHtmlFilesTest, TwoPagesLinkEachOther)
{
    addMovies(2, 1);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(2) + "F3 ezmovie.html\r\n");
}

TEST_F(MakeHtmlFilesTest, SevenMoviesAtThreePerPage)
{
    addMovies(7, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2) + block(3) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"),
              "H2/2\r\n" + block(4) + block(5) + block(6) + "F2 ezmovie.html ezmovie03.html\r\n");
    EXPECT_EQ(page("ezmovie03.html"), "H3/3\r\n" + block(7) + "F3 ezmovie02.html\r\n");
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(fs::exists(html / ("m" + std::to_string(i) + ".amc")));
}

TEST_F(MakeHtmlFilesTest, PagesPastTheLastEntryKeepHeaderAndFooter)
{
    addMovies(6, 2);
    list.FEntries.resize(3); // the list window removed three movies
    list.FEntryCount = 3;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(3) + "F2 ezmovie.html ezmovie03.html\r\n");
    EXPECT_EQ(page("ezmovie03.html"), "H3/3\r\nF3 ezmovie02.html\r\n");
    EXPECT_FALSE(fs::exists(html / "m4.amc"));
}

TEST_F(MakeHtmlFilesTest, FooterLinksFollowTheNameFieldWhilePageFilesFollowTheBuild)
{
    addMovies(2, 1);
    job.HtmlFileName = "top.html"; // changed after the build
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + "F1 top02.html\r\n");
}

TEST_F(MakeHtmlFilesTest, MoviesInAnotherFolderAreLinkedRelatively)
{
    fs::create_directory(html / "mov");
    job.MovieDir = html.cp932() + "mov/";
    addMovies(1, 3);
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_NE(page("ezmovie.html").find("<object data=mov/m1.amc "), std::string::npos);
    EXPECT_TRUE(fs::exists(html / "mov" / "m1.amc"));
}

TEST_F(MakeHtmlFilesTest, MovieWithAnUnspellableNameIsCopiedFromItsRealName)
{
    addMovies(1, 1);
    const std::string realName = "a\xF0\x9F\x98\x80.amc";
    fs::rename(source / "m1.amc", source / realName);
    list.FEntries[0].OrgName = Sjis("a〓.amc");
    list.FEntries[0].NativeName = realName;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(ReadFileBytes(html / "m1.amc"), std::string(1000, 'x'));
    EXPECT_TRUE(prompt.errors.empty());
}

TEST_F(MakeHtmlFilesTest, StrictPolicyRefusesBeforeWritingAnything)
{
    addMovies(3, 1);
    job.Policy = TOverwritePolicy::WarnAndStop;
    WriteFileBytes(html / "ezmovie03.html", "old");
    EXPECT_FALSE(MakeHtmlFiles(job, list, prompt));
    ASSERT_EQ(prompt.warnings.size(), 1u);
    EXPECT_NE(prompt.warnings[0].find("ezmovie03.html"), std::string::npos);
    EXPECT_FALSE(fs::exists(html / "m1.amc"));
    EXPECT_FALSE(fs::exists(html / "ezmovie.html"));
}

TEST_F(MakeHtmlFilesTest, MissingMovieIsReportedAndThePageStillLinksIt)
{
    addMovies(2, 3);
    fs::remove(source / "m1.amc");
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("m1.amc"), std::string::npos);
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + block(2));
}

TEST_F(MakeHtmlFilesTest, PageThatCannotBeWrittenEndsTheRunWithItsOwnMessage)
{
    addMovies(2, 1);
    WriteFileBytes(temp / "not-a-folder", "x"); // the temporary page cannot be created
    qputenv("TMPDIR", (temp / "not-a-folder").c_str());
    EXPECT_FALSE(MakeHtmlFiles(job, list, prompt));
    ASSERT_EQ(prompt.errors.size(), 1u);
    EXPECT_NE(prompt.errors[0].find("ezmovie.html"), std::string::npos);
    EXPECT_TRUE(fs::exists(html / "m1.amc"));     // handled before the failure: stays
    EXPECT_FALSE(fs::exists(html / "m2.amc"));    // the run ended on page 1
}

TEST_F(MakeHtmlFilesTest, SkipPolicyLeavesAnEarlierRunsFilesAlone)
{
    addMovies(1, 1);
    WriteFileBytes(html / "ezmovie.html", "old page");
    job.Policy = TOverwritePolicy::Skip;
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "old page");
}

TEST_F(MakeHtmlFilesTest, TemporaryFolderThatIsTheHtmlFolderKeepsThePages)
{
    addMovies(2, 1);
    qputenv("TMPDIR", html.path().c_str());
    ASSERT_TRUE(MakeHtmlFiles(job, list, prompt));
    EXPECT_EQ(page("ezmovie.html"), "H1/1\r\n" + block(1) + "F1 ezmovie02.html\r\n");
    EXPECT_EQ(page("ezmovie02.html"), "H2/2\r\n" + block(2) + "F3 ezmovie.html\r\n");
    size_t files = 0;
    for ([[maybe_unused]] const auto &entry : fs::directory_iterator(html.path()))
        ++files;
    EXPECT_EQ(files, 4u); // two pages, two movies, no temporary file
}
