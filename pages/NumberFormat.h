#pragma once

#include <cstdint>
#include <string>

namespace kpx {

// "#,##0": digits grouped by thousands with a comma, no decimals.
std::string FormatThousands(std::int64_t value);

} // namespace kpx
