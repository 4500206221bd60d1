// One movie entry and the value tables of its markup. May touch: nothing (data).
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kpx {

// What the scan saw of a movie with its one look: enough to tell a copy that
// is current, and the file itself, without looking again.
struct TSeenFile
{
    timespec Modified = {};
    dev_t Device = 0;
    ino_t Inode = 0;
};

// One movie of the source folder. Strings are code page 932 bytes.
struct TRecFileData
{
    std::string OrgName;       // name in the source folder, as CP932
    std::string CopyName;      // name in the movie folder and in the page's link
    std::int64_t FileSize = 0; // bytes: movies of 2 GiB and more are published whole
    std::int32_t DlKind = 0;    // 0 download, 1 short streaming
    std::int32_t SoundKind = 0; // 0 QLREP, 1 MP3, 2 none
    bool NoVideo = false;
    std::string LinkName;      // standby text of the download link
    std::string SaveName;      // title the handset saves the movie under
    // The name exactly as the file system spells it. OrgName cannot hold every
    // name (code page 932 lacks many characters); copying uses this one.
    std::string NativeName;
    std::optional<TSeenFile> Seen; // absent for a movie the scan did not list
};

// Strings of the download markup, indexed by DlKind, NoVideo and SoundKind.
inline constexpr std::array<std::string_view, 2> RightsTexts = {"no", "yes"};
inline constexpr std::array<std::string_view, 2> DispositionPrefixes = {"devdl1", "devdl2"};
inline constexpr std::array<std::string_view, 2> NoVideoMarks = {"", "b"};
inline constexpr std::array<std::string_view, 3> SoundMarks = {"q", "m", "n"};

} // namespace kpx
