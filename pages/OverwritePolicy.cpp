#include "pages/OverwritePolicy.h"

namespace kpx {

TOverwritePolicy OverwritePolicyFromIndex(int index)
{
    return index >= FirstOverwriteIndex && index <= LastOverwriteIndex ? static_cast<TOverwritePolicy>(index)
                                                                       : TOverwritePolicy::Confirm;
}

TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination)
{
    if (destination == TDestination::Missing)
        return TCopyAction::Copy;
    if (destination == TDestination::Unfinished)
        return TCopyAction::Replace;
    if (policy == TOverwritePolicy::Skip || policy == TOverwritePolicy::WarnAndStop)
        return TCopyAction::Skip;
    if (destination == TDestination::TheSource)
        return TCopyAction::KeepSameFile;
    if (destination == TDestination::AnotherSource)
        return TCopyAction::KeepSource;
    switch (policy) {
    case TOverwritePolicy::Confirm:
        return TCopyAction::AskToReplace;
    case TOverwritePolicy::Update:
        if (destination == TDestination::Current)
            return TCopyAction::KeepCurrent;
        break;
    case TOverwritePolicy::Overwrite:
    case TOverwritePolicy::Skip:
    case TOverwritePolicy::WarnAndStop:
        break;
    }
    return TCopyAction::Replace;
}

std::optional<TTargetConflict> FindFirstConflict(const TEntryList &entries, const std::vector<std::string> &pageNames,
                                                 const std::function<bool(const std::string &)> &movieExists,
                                                 const std::function<bool(const std::string &)> &pageExists)
{
    for (const TRecFileData &entry : entries.FEntries)
        if (movieExists(entry.CopyName))
            return TTargetConflict{true, entry.CopyName};
    for (int r = 0; r < entries.FPageCount && r < static_cast<int>(pageNames.size()); ++r)
        if (pageExists(pageNames[static_cast<size_t>(r)]))
            return TTargetConflict{false, pageNames[static_cast<size_t>(r)]};
    return std::nullopt;
}

} // namespace kpx
