// A large folder of small movies through the kpx_publish executable: the run
// against `cp -r` of the same folder, its --dry-run against `ls -l`, in
// alternating order round by round, with the peak resident memory the kernel
// counted for each kpx_publish process.
//
//   build/bench/scale_bench [movies=100000] [KiB per movie=1] [per page=10] [rounds=3]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "PublishBenchSupport.h"

namespace fs = std::filesystem;
using namespace kpx::bench::detail;

namespace {

struct TSide
{
    std::vector<TRunTimes> Times;
    long PeakKib = 0;

    void Run(const std::function<long()> &work)
    {
        long kib = 0;
        Times.push_back(TimeRun([&] { kib = work(); }));
        PeakKib = std::max(PeakKib, kib);
    }
};

std::vector<std::string> PublishArguments(const fs::path &source, const fs::path &html, int perPage)
{
    // An empty settings file: the run depends on nothing but its options.
    return {KPX_PUBLISH_EXE, "--ini", "/dev/null", "--source", source.string(), "--html-dir", html.string(),
            "--per-page", std::to_string(perPage), "--policy", "overwrite", "--quiet"};
}

// The median of the per-round ratios: a round's two runs meet the same disk.
double MedianRatio(const TSide &side, const TSide &reference, double TRunTimes::*measure)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < side.Times.size(); ++i)
        ratios.push_back(side.Times[i].*measure / (reference.Times[i].*measure));
    return Median(ratios);
}

double MedianOf(const TSide &side, double TRunTimes::*measure)
{
    std::vector<double> values;
    for (const TRunTimes &times : side.Times)
        values.push_back(times.*measure);
    return Median(values);
}

void Print(const char *what, const TSide &side, const TSide &reference, const char *referenceName)
{
    std::printf("%-22s %8.3f s %8.3f s   %-8s %8.3f s %8.3f s   ratio %5.2f %5.2f", what,
                MedianOf(side, &TRunTimes::Done), MedianOf(side, &TRunTimes::Synced), referenceName,
                MedianOf(reference, &TRunTimes::Done), MedianOf(reference, &TRunTimes::Synced),
                MedianRatio(side, reference, &TRunTimes::Done), MedianRatio(side, reference, &TRunTimes::Synced));
    std::printf("   peak %ld MiB\n", side.PeakKib / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    const int movies = argc > 1 ? std::atoi(argv[1]) : 100000;
    const size_t kib = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 1;
    const int perPage = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 10) : 10;
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;

    const std::optional<fs::path> work = MakeWorkFolder("kpx_scale");
    if (!work)
        return 1;
    const fs::path root = *work;
    const fs::path source = root / "source";
    fs::create_directory(source);
    MakeMovies(source, movies, kib * 1024);

    TSide publish, cp, dryRun, ls;
    for (int round = 0; round < rounds; ++round) {
        const fs::path html = root / ("html" + std::to_string(round));
        const fs::path plain = root / ("cp" + std::to_string(round));
        const fs::path planned = root / ("dry" + std::to_string(round));
        for (const fs::path &folder : {html, plain, planned})
            fs::create_directory(folder);
        // Alternate which goes first, so neither always meets the warmer cache.
        const auto timePublish = [&] { publish.Run([&] { return Spawn(PublishArguments(source, html, perPage)); }); };
        const auto timeCp = [&] { cp.Run([&] { return Spawn({"cp", "-r", (source / ".").string(), plain.string()}); }); };
        const auto timeDryRun = [&] {
            std::vector<std::string> arguments = PublishArguments(source, planned, perPage);
            arguments.push_back("--dry-run");
            dryRun.Run([&] { return Spawn(arguments, true); });
        };
        const auto timeLs = [&] { ls.Run([&] { return Spawn({"ls", "-l", source.string()}, true); }); };
        if (round % 2 == 0) {
            timePublish();
            timeCp();
            timeDryRun();
            timeLs();
        } else {
            timeCp();
            timePublish();
            timeLs();
            timeDryRun();
        }
    }
    // Only now: files created soon after a mass deletion are slow on ext4.
    fs::remove_all(root);

    std::printf("%d movies of %zu KiB at %d per page, medians of %d rounds (until done, until synced)\n", movies, kib,
                perPage, rounds);
    Print("kpx_publish:", publish, cp, "cp -r:");
    Print("kpx_publish --dry-run:", dryRun, ls, "ls -l:");
    return 0;
}
