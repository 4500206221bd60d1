// Publishes a generated folder of movies and times it against a plain `cp`
// of the same files in the same run.
//
//   build/bench/publish_bench [movies=2000] [KiB per movie=256] [rounds=3]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "pages/EntryScan.h"
#include "pages/PageGenerator.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class ConsolePrompt : public kpx::TUserPrompt
{
public:
    bool Ask(const std::string &) override { return true; }
    void Warning(const std::string &text) override { report("warning", text); }
    void Error(const std::string &text) override { report("error", text); }
    void Information(const std::string &text) override { report("information", text); }

private:
    static void report(const char *kind, const std::string &text)
    {
        std::fprintf(stderr, "%s: %s\n", kind, kpx::Cp932ToUtf8(text).c_str());
    }
};

void MakeMovies(const fs::path &folder, int count, size_t bytes)
{
    std::string content(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i)
        content[i] = static_cast<char>(i * 31 % 251);
    for (int i = 0; i < count; ++i) {
        // A mix of plain and Japanese names, as real folders have.
        const std::string name = (i % 3 == 0 ? "映画" : "clip") + std::to_string(i) + ".amc";
        std::ofstream(folder / name, std::ios::binary).write(content.data(), static_cast<std::streamsize>(bytes));
    }
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double TimePublish(const fs::path &source, const fs::path &target)
{
    ::sync();
    const auto start = Clock::now();
    kpx::TEntryList list;
    kpx::TScanOptions options;
    options.Date = kpx::LocalToday();
    kpx::ScanSourceFolder(kpx::Sjis(source.string() + "/"), options, list.FEntries);
    list.FEntryCount = static_cast<int>(list.FEntries.size());
    list.FPageItemCount = 3;
    list.FPageCount = (list.FEntryCount + 2) / 3;

    kpx::TPublishJob job;
    job.SourceDir = kpx::Sjis(source.string() + "/");
    job.HtmlDir = kpx::Sjis(target.string() + "/");
    job.MovieDir = job.HtmlDir;
    job.HtmlFileName = "ezmovie.html";
    job.PageNames = kpx::PageFileNames(job.HtmlFileName, list.FPageCount);
    job.Templates.Header = "<html><body>ezmovie %i<br>\r\n";
    job.Templates.Footers = {"<a href=\"%n\">next</a></body></html>", "<a href=\"%p\">prev</a> <a href=\"%n\">next</a>",
                             "<a href=\"%p\">prev</a></body></html>"};
    job.Policy = kpx::TOverwritePolicy::Overwrite;
    ConsolePrompt prompt;
    if (!kpx::MakeHtmlFiles(job, list, prompt))
        std::fprintf(stderr, "publishing failed\n");
    return Seconds(Clock::now() - start);
}

double TimeCp(const fs::path &source, const fs::path &target)
{
    ::sync();
    const std::string command = "cp '" + source.string() + "'/*.amc '" + target.string() + "'/";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cp failed\n");
    return Seconds(Clock::now() - start);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int movies = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t kib = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 256;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    const fs::path source = root / "source";
    fs::create_directory(source);
    MakeMovies(source, movies, kib * 1024);

    std::vector<double> publishTimes, cpTimes;
    for (int round = 0; round < rounds; ++round) {
        const fs::path html = root / ("html" + std::to_string(round));
        const fs::path plain = root / ("cp" + std::to_string(round));
        fs::create_directory(html);
        fs::create_directory(plain);
        publishTimes.push_back(TimePublish(source, html));
        cpTimes.push_back(TimeCp(source, plain));
        fs::remove_all(html);
        fs::remove_all(plain);
    }
    const double publish = Median(publishTimes);
    const double cp = Median(cpTimes);
    std::printf("%d movies of %zu KiB at 3 per page, median of %d rounds\n", movies, kib, rounds);
    std::printf("publish (scan + copy + pages): %.3f s\n", publish);
    std::printf("cp of the same files:          %.3f s\n", cp);
    std::printf("ratio publish / cp:            %.2f\n", publish / cp);
    return 0;
}
