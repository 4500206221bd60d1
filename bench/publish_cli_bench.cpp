// Publishes the same generated folder as publish_bench, but through the
// kpx_publish executable (process start, settings, scan, copy and pages), and
// times it against a plain `cp` of the same files in the same run.
//
//   build/bench/publish_cli_bench [movies=2000] [KiB per movie=256] [rounds=3]

#include <filesystem>

#include "PublishBenchSupport.h"

namespace fs = std::filesystem;

namespace {

void Publish(const fs::path &source, const fs::path &html)
{
    // An empty settings file: the run depends on nothing but its options.
    kpx::bench::detail::Spawn({KPX_PUBLISH_EXE, "--ini", "/dev/null", "--source", source.string(), "--html-dir",
                               html.string(), "--per-page", "3", "--policy", "overwrite", "--quiet"});
}

} // namespace

int main(int argc, char **argv)
{
    return kpx::bench::CompareWithCp(argc, argv, "kpx_publish (whole program)", Publish);
}
