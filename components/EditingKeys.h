// Which keys edit or move rather than type. May touch: nothing (pure).
#pragma once

namespace kpx {

// Keys that edit or move rather than type (Backspace, Tab, Clear, Shift, Ctrl,
// Alt, the arrows, Delete): after them, completing the text from a history
// would fight the user.
bool IsEditingKey(int qtKey);

} // namespace kpx
