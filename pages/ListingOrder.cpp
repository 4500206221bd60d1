#include "pages/ListingOrder.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>

#include "text/AsciiChars.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

// A name's text as the UTF-16 code units a Windows folder listing sorts it by,
// ASCII letters upper-cased, one at a time: no key is held per name.
class TListingUnits
{
public:
    explicit TListingUnits(std::string_view text) : FText(text) {}

    // -1 once the text is done.
    int Next()
    {
        if (FLowSurrogate != 0)
            return std::exchange(FLowSurrogate, 0);
        if (FText.empty())
            return -1;
        if (const auto byte = static_cast<unsigned char>(FText.front()); byte < 0x80) { // most names
            FText.remove_prefix(1);
            return static_cast<unsigned char>(AsciiUpper(static_cast<char>(byte)));
        }
        const char32_t code = TakeCodePoint(FText);
        if (code >= 0x10000) {
            FLowSurrogate = static_cast<int>(0xDC00 + ((code - 0x10000) & 0x3FF));
            return static_cast<int>(0xD800 + ((code - 0x10000) >> 10));
        }
        return static_cast<int>(code);
    }

private:
    std::string_view FText;
    int FLowSurrogate = 0;
};

// Puts entries[i] where order says: entry k of the result is entries[order[k]].
void Permute(std::vector<TRecFileData> &entries, std::vector<std::uint32_t> &order)
{
    for (std::uint32_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        TRecFileData held = std::move(entries[start]);
        std::uint32_t hole = start;
        for (std::uint32_t next = order[hole]; next != start; next = order[hole]) {
            entries[hole] = std::move(entries[next]);
            order[hole] = hole;
            hole = next;
        }
        entries[hole] = std::move(held);
        order[hole] = hole;
    }
}

} // namespace

int CompareListing(std::string_view a, std::string_view b)
{
    TListingUnits left(a), right(b);
    for (;;) {
        const int x = left.Next();
        const int y = right.Next();
        if (x != y || x < 0)
            return x - y;
    }
}

void SortInListingOrder(std::vector<TRecFileData> &entries, const std::vector<std::string> &otherTexts)
{
    const auto textOf = [&](std::uint32_t i) -> std::string_view {
        return otherTexts[i].empty() ? std::string_view(entries[i].NativeName) : std::string_view(otherTexts[i]);
    };
    // Most names are ASCII: their units are their bytes with letters upper-cased,
    // compared as a whole at once. Other names are compared unit by unit.
    std::vector<std::string> asciiKeys(entries.size());
    for (std::uint32_t i = 0; i < entries.size(); ++i)
        if (const std::string_view text = textOf(i); IsAscii(text)) {
            asciiKeys[i].resize(text.size());
            std::transform(text.begin(), text.end(), asciiKeys[i].begin(), AsciiUpper);
        }
    const auto listed = [&](std::uint32_t a, std::uint32_t b) {
        if (!asciiKeys[a].empty() && !asciiKeys[b].empty())
            return asciiKeys[a].compare(asciiKeys[b]);
        return CompareListing(textOf(a), textOf(b));
    };
    std::vector<std::uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int byListing = listed(a, b);
        return byListing != 0 ? byListing < 0 : entries[a].NativeName < entries[b].NativeName;
    });
    Permute(entries, order);
}

} // namespace kpx
