#include "pages/FileMarks.h"

#include <charconv>
#include <unistd.h>

namespace kpx {

namespace {

constexpr std::string_view HiddenPrefix = ".kpx";
constexpr std::string_view HiddenSuffix = ".tmp";

} // namespace

std::string NewHiddenName()
{
    static unsigned counter = 0;
    return std::string(HiddenPrefix) + std::to_string(::getpid()) + "-" + std::to_string(++counter)
           + std::string(HiddenSuffix);
}

bool SameModificationTime(const timespec &source, const timespec &copy)
{
    if (source.tv_sec == copy.tv_sec)
        return true;
    const bool fatRounded = copy.tv_nsec == 0 && copy.tv_sec % 2 == 0;
    return fatRounded && (source.tv_sec - copy.tv_sec == 1 || copy.tv_sec - source.tv_sec == 1);
}

bool IsUnfinishedFile(const struct stat &info)
{
    return S_ISREG(info.st_mode) && (info.st_mode & 07777) == 0 && info.st_uid == ::geteuid();
}

std::optional<pid_t> HiddenNameOwner(std::string_view name)
{
    if (!name.starts_with(HiddenPrefix) || !name.ends_with(HiddenSuffix))
        return std::nullopt;
    name.remove_prefix(HiddenPrefix.size());
    name.remove_suffix(HiddenSuffix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    unsigned serial = 0;
    if (error != std::errc() || pid <= 0 || end == name.data() + name.size() || *end != '-'
        || std::from_chars(end + 1, name.data() + name.size(), serial).ptr != name.data() + name.size())
        return std::nullopt;
    return pid;
}

} // namespace kpx
