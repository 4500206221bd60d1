// Two folder paths (split at the first zero byte) through GetRelativeLinkPath:
// the link is empty or ends in "/", brings in no backslash, and trailing
// delimiters on either folder change nothing.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "pages/PathRoutines.h"

namespace {

using kpx::fuzz::Require;

bool IsBackslash(unsigned char byte)
{
    return byte == '\\';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const size_t cut = input.find('\0');
    const std::string_view from = input.substr(0, cut);
    const std::string_view to = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

    const std::string link = kpx::GetRelativeLinkPath(from, to);
    Require(link.empty() || link.back() == '/');
    if (!kpx::fuzz::HasSingleByteChar(from, IsBackslash) && !kpx::fuzz::HasSingleByteChar(to, IsBackslash))
        Require(!kpx::fuzz::HasSingleByteChar(link, IsBackslash));

    const std::string fromBare = kpx::ExcludePathDelimiter(from);
    const std::string toBare = kpx::ExcludePathDelimiter(to);
    Require(kpx::GetRelativeLinkPath(fromBare, toBare) == link);
    Require(kpx::GetRelativeLinkPath(kpx::IncludePathDelimiter(from), kpx::IncludePathDelimiter(to)) == link);
    return 0;
}
