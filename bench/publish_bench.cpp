// Publishes a generated folder of movies and times it against a plain `cp`
// of the same files in the same run.
//
//   build/bench/publish_bench [movies=2000] [KiB per movie=256] [rounds=3]
//
// With KPX_BENCH_PROGRESS=1 the run reports to the main window's progress
// dialog (offscreen when there is no display), as "HTMLファイル作成" does.

#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>

#include "PublishBenchSupport.h"
#include "app/PublishProgress.h"
#include "pages/EntryScan.h"
#include "pages/PageGenerator.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;
using namespace kpx::bench;

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

void Publish(const fs::path &source, const fs::path &target)
{
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
    bool done;
    if (qEnvironmentVariableIntValue("KPX_BENCH_PROGRESS") != 0) {
        kpx::TPublishProgress progress(nullptr, list.FPageCount);
        done = kpx::MakeHtmlFiles(job, list, prompt, &progress).Complete();
    } else {
        done = kpx::MakeHtmlFiles(job, list, prompt).Complete();
    }
    if (!done)
        std::fprintf(stderr, "publishing failed\n");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return CompareWithCp(argc, argv, "publish (scan + copy + pages)", Publish);
}
