#include "tags/EntryReread.h"

#include <string>
#include <unordered_map>

#include "pages/EntryList.h"

namespace kpx {

TRereadChange KeepEdits(const std::vector<TRecFileData> &kept, std::vector<TRecFileData> &scanned)
{
    std::unordered_map<std::string, size_t> inFolder;
    for (size_t i = 0; i < scanned.size(); ++i)
        inFolder.emplace(NativeFileName(scanned[i]), i);

    TRereadChange change;
    std::vector<bool> taken(scanned.size());
    std::vector<TRecFileData> result;
    result.reserve(scanned.size());
    for (const TRecFileData &entry : kept) {
        const auto found = inFolder.find(NativeFileName(entry));
        if (found == inFolder.end() || taken[found->second]) {
            ++change.Removed;
            continue;
        }
        taken[found->second] = true;
        TRecFileData &again = result.emplace_back(std::move(scanned[found->second]));
        again.LinkName = entry.LinkName;
        again.SaveName = entry.SaveName;
        again.DlKind = entry.DlKind;
        again.SoundKind = entry.SoundKind;
        again.NoVideo = entry.NoVideo;
    }
    for (size_t i = 0; i < scanned.size(); ++i) {
        if (taken[i])
            continue;
        result.push_back(std::move(scanned[i]));
        ++change.Added;
    }
    scanned = std::move(result);
    return change;
}

} // namespace kpx
