// Numbers and sizes as text. May touch: nothing (pure).
#pragma once

#include <cstdint>
#include <string>

namespace kpx {

// "#,##0": digits grouped by thousands with a comma, no decimals.
std::string FormatThousands(std::int64_t value);

// Bytes in mebibytes with one decimal, such as "1.5 MiB".
std::string FormatMebibytes(std::uintmax_t bytes);
// The same amount as the desktop shows sizes to its users: "1.5 MB".
std::string FormatMegabytes(std::uintmax_t bytes);

} // namespace kpx
