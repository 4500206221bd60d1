#include "pages/LinkText.h"

#include "text/AsciiChars.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

// Length of the run at the front of `text` whose characters all pass.
template <typename TTest>
size_t RunOf(std::string_view text, TTest test)
{
    size_t n = 0;
    while (n < text.size() && test(text[n]))
        ++n;
    return n;
}

} // namespace

bool BeginsCharacterReference(std::string_view text)
{
    if (text.size() < 3 || text[0] != '&')
        return false;
    text.remove_prefix(1);
    size_t body = 0;
    if (IsAsciiLetter(text[0])) {
        body = RunOf(text, [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); });
    } else if (text[0] == '#') {
        const bool hex = text.size() > 1 && (text[1] == 'x' || text[1] == 'X');
        const size_t prefix = hex ? 2 : 1;
        const size_t digits = RunOf(text.substr(prefix), hex ? IsAsciiHexDigit : IsAsciiDigit);
        body = digits == 0 ? 0 : prefix + digits;
    }
    return body > 0 && body < text.size() && text[body] == ';';
}

std::string LinkTextOfName(std::string_view baseNameText)
{
    // Control bytes and "&" are ASCII, which no UTF-8 sequence holds.
    std::string text;
    text.reserve(baseNameText.size());
    for (size_t i = 0; i < baseNameText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(baseNameText[i]);
        if (byte < 0x20 || byte == 0x7F)
            text += ' ';
        else if (byte == '&' && BeginsCharacterReference(baseNameText.substr(i)))
            text += "&amp;";
        else
            text += baseNameText[i];
    }
    return KanaToFullWidth(Utf8ToCp932Referenced(text));
}

} // namespace kpx
