// Publishes the same generated folder as publish_bench, but through the
// kpx_publish executable (process start, settings, scan, copy and pages), and
// times it against a plain `cp` of the same files in the same run.
//
//   build/bench/publish_cli_bench [movies=2000] [KiB per movie=256] [rounds=3]

#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "PublishBenchSupport.h"

extern char **environ;

namespace fs = std::filesystem;

namespace {

void Publish(const fs::path &source, const fs::path &html)
{
    // An empty settings file: the run depends on nothing but its options.
    std::vector<std::string> arguments{KPX_PUBLISH_EXE, "--ini", "/dev/null", "--source", source.string(),
                                       "--html-dir", html.string(), "--per-page", "3", "--policy", "overwrite",
                                       "--quiet"};
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawn(&pid, KPX_PUBLISH_EXE, nullptr, nullptr, argv.data(), environ) != 0
        || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "kpx_publish failed\n");
}

} // namespace

int main(int argc, char **argv)
{
    return kpx::bench::CompareWithCp(argc, argv, "kpx_publish (whole program)", Publish);
}
