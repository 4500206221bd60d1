// A second run over unchanged movies: kpx_publish --policy update on a folder
// it published before, against `cp -r` of the same movies into a new folder and
// `rsync -a` of them into a folder it filled before (so nothing to do either),
// in alternating order; and how many files the update run wrote.
//
//   build/bench/update_bench [movies=2000] [KiB per movie=256] [rounds=5] [per page=3]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "PublishBenchSupport.h"

namespace fs = std::filesystem;
using namespace kpx::bench::detail;

namespace {

std::vector<std::string> Publish(const fs::path &source, const fs::path &html, int perPage, const char *policy)
{
    return {KPX_PUBLISH_EXE, "--ini", "/dev/null", "--source", source.string(), "--html-dir", html.string(),
            "--per-page", std::to_string(perPage), "--policy", policy, "--quiet"};
}

// Each file's inode and modification time: a file written anew changes one.
std::map<std::string, std::pair<ino_t, long long>> Identities(const fs::path &folder)
{
    std::map<std::string, std::pair<ino_t, long long>> identities;
    for (const auto &entry : fs::directory_iterator(folder)) {
        struct stat info{};
        ::stat(entry.path().c_str(), &info);
        identities[entry.path().filename()] = {info.st_ino, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
    }
    return identities;
}

} // namespace

int main(int argc, char **argv)
{
    const int movies = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t kib = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 256;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const int perPage = argc > 4 ? std::clamp(std::atoi(argv[4]), 1, 10) : 3;

    const std::optional<fs::path> work = MakeWorkFolder("kpx_update");
    if (!work)
        return 1;
    const fs::path root = *work;
    const fs::path source = root / "source";
    const fs::path html = root / "html";
    const fs::path mirror = root / "mirror";
    for (const fs::path &folder : {source, html, mirror})
        fs::create_directory(folder);
    MakeMovies(source, movies, kib * 1024);
    Spawn(Publish(source, html, perPage, "overwrite"));
    Spawn({"rsync", "-a", source.string() + "/", mirror.string() + "/"});
    const auto published = Identities(html);

    std::vector<double> update, cp, rsync;
    for (int round = 0; round < rounds; ++round) {
        const fs::path plain = root / ("cp" + std::to_string(round));
        fs::create_directory(plain);
        const auto timeUpdate = [&] {
            update.push_back(TimeRun([&] { Spawn(Publish(source, html, perPage, "update")); }).Synced);
        };
        const auto timeCp = [&] {
            cp.push_back(TimeRun([&] { Spawn({"cp", "-r", (source / ".").string(), plain.string()}); }).Synced);
        };
        const auto timeRsync = [&] {
            rsync.push_back(TimeRun([&] { Spawn({"rsync", "-a", source.string() + "/", mirror.string() + "/"}); }).Synced);
        };
        if (round % 2 == 0) {
            timeUpdate();
            timeCp();
            timeRsync();
        } else {
            timeRsync();
            timeCp();
            timeUpdate();
        }
    }
    const auto after = Identities(html);
    int written = 0;
    for (const auto &[name, identity] : after)
        written += published.count(name) == 0 || published.at(name) != identity;
    fs::remove_all(root);

    std::printf("%d unchanged movies of %zu KiB at %d per page, medians of %d rounds, until synced\n", movies, kib,
                perPage, rounds);
    std::printf("kpx_publish --policy update: %8.3f s, files written: %d of %zu\n", Median(update), written,
                after.size());
    std::printf("cp -r of the movies:         %8.3f s (update / cp: %.3f)\n", Median(cp), Median(update) / Median(cp));
    std::printf("rsync -a, nothing to do:     %8.3f s (update / rsync: %.2f)\n", Median(rsync),
                Median(update) / Median(rsync));
    return 0;
}
