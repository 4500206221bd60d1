#pragma once

#include <vector>

#include "pages/RecFileData.h"

namespace kpx {

// What a second scan of the source folder changed in the entry list.
struct TRereadChange
{
    int Added = 0;
    int Removed = 0;
};

// Turns `scanned`, a fresh scan of the source folder in listing order, into
// the list the user goes on with: first the movies of `kept` still in the
// folder, in kept's order and with the user's edits (link text, save name,
// kinds, no-video flag), then the new movies in listing order. What the
// folder says of a movie (its names, copy name, size) is the scan's. A movie
// is known by its name as the file system spells it.
TRereadChange KeepEdits(const std::vector<TRecFileData> &kept, std::vector<TRecFileData> &scanned);

} // namespace kpx
