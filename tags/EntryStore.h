// The entry list and input history the editing windows share. May touch: nothing (data).
#pragma once

#include "pages/EntryList.h"
#include "tags/InputHistory.h"

namespace kpx {

// What the main window owns for the editing windows: the entry list with its
// page layout, and the shared input history. Handed to the windows by reference.
struct TEntryStore
{
    TEntryList List;
    TInputHistory InputHistory;
};

} // namespace kpx
