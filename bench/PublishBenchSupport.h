#pragma once

// What the two publishing benches share: the same generated folder of movies
// and the same `cp` to measure against, so their ratios compare.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace kpx::bench {

using Clock = std::chrono::steady_clock;

namespace detail {

inline void MakeMovies(const std::filesystem::path &folder, int count, size_t bytes)
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

// A fresh folder of the bench's own in the temporary folder; nullopt, told,
// when none can be made.
inline std::optional<std::filesystem::path> MakeWorkFolder(const char *prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + ".XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return std::nullopt;
    }
    return std::filesystem::path(pattern);
}

inline double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Two times for one run, both from a clean start (earlier write-back done):
// until the work returns, as a user waits for it, and until its files are on
// disk, which also charges the write-back of every file it made.
struct TRunTimes
{
    double Done;
    double Synced;
};

template <class Work>
TRunTimes TimeRun(Work &&work)
{
    ::sync();
    const auto start = Clock::now();
    work();
    const auto done = Clock::now();
    ::sync();
    return {Seconds(done - start), Seconds(Clock::now() - start)};
}

// Runs a program (found on PATH) to its end, its standard output to
// /dev/null when `quiet`; the peak resident memory the kernel counted for it,
// in KiB, or -1 when it did not exit with status 0.
inline long Spawn(std::vector<std::string> arguments, bool quiet = false)
{
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (quiet)
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    const bool ran = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0
                     && ::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::posix_spawn_file_actions_destroy(&actions);
    if (!ran)
        std::fprintf(stderr, "%s failed\n", arguments[0].c_str());
    return ran ? usage.ru_maxrss : -1;
}

// `cp -r` of the folder's contents: one process, however many files.
inline void RunCp(const std::filesystem::path &source, const std::filesystem::path &target)
{
    Spawn({"cp", "-r", (source / ".").string(), target.string()});
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace detail

// Generates the movies, then in each round times `publish(source, html)` into
// an empty folder and `cp` of the same files into another, in alternating
// order, and prints the medians and their ratio.
// Arguments: [movies=2000] [KiB per movie=256] [rounds=3].
template <class Publish>
int CompareWithCp(int argc, char **argv, const char *what, Publish publish)
{
    namespace fs = std::filesystem;
    const int movies = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t kib = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 256;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    const std::optional<fs::path> work = detail::MakeWorkFolder("kpx_bench");
    if (!work)
        return 1;
    const fs::path root = *work;
    const fs::path source = root / "source";
    fs::create_directory(source);
    detail::MakeMovies(source, movies, kib * 1024);

    std::vector<detail::TRunTimes> publishTimes, cpTimes;
    for (int round = 0; round < rounds; ++round) {
        const fs::path html = root / ("html" + std::to_string(round));
        const fs::path plain = root / ("cp" + std::to_string(round));
        fs::create_directory(html);
        fs::create_directory(plain);
        // Alternate which goes first, so neither always meets the warmer cache.
        const auto timePublish = [&] { publishTimes.push_back(detail::TimeRun([&] { publish(source, html); })); };
        const auto timeCp = [&] { cpTimes.push_back(detail::TimeRun([&] { detail::RunCp(source, plain); })); };
        if (round % 2 == 0) {
            timePublish();
            timeCp();
        } else {
            timeCp();
            timePublish();
        }
    }
    // Only now: the file system would make every file created soon after a
    // mass deletion search past the freshly freed inodes, which charges each
    // run for the clean-up of the one before.
    fs::remove_all(root);

    std::printf("%d movies of %zu KiB at 3 per page, medians of %d rounds\n", movies, kib, rounds);
    std::printf("%-34s %12s %12s\n", "", "until done", "until synced");
    const auto summarize = [&](auto measure) {
        std::vector<double> publishSide, cpSide, ratios;
        for (size_t i = 0; i < publishTimes.size(); ++i) {
            publishSide.push_back(measure(publishTimes[i]));
            cpSide.push_back(measure(cpTimes[i]));
            // A round's two runs meet the same disk weather, so the ratio
            // within a round is steadier than the ratio of the two medians.
            ratios.push_back(publishSide.back() / cpSide.back());
        }
        return std::array{detail::Median(publishSide), detail::Median(cpSide), detail::Median(ratios)};
    };
    const auto done = summarize([](const detail::TRunTimes &t) { return t.Done; });
    const auto synced = summarize([](const detail::TRunTimes &t) { return t.Synced; });
    std::printf("%-34s %10.3f s %10.3f s\n", (std::string(what) + ":").c_str(), done[0], synced[0]);
    std::printf("%-34s %10.3f s %10.3f s\n", "cp of the same files:", done[1], synced[1]);
    std::printf("%-34s %12.2f %12.2f\n", "ratio publish / cp:", done[2], synced[2]);
    return 0;
}

} // namespace kpx::bench
