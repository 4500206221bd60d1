// A page's markup as rich text, as a handset shows it. May touch: nothing (pure).
#pragma once

#include <QString>

namespace kpx {

// A page's markup as a handset shows it, in rich text Qt can display. Qt
// shows nothing of a download block (<object> ... </object>), so each becomes
// what a handset lists: its standby text as a link line (to the block's data)
// and, below it, what the block's disposition says: the download kind, the
// sound and "映像なし". Everything else passes unchanged.
QString HandsetHtml(const QString &page);

} // namespace kpx
