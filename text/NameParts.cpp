#include "text/NameParts.h"

#include <charconv>
#include <cstdio>

namespace kpx {

std::string_view BaseName(std::string_view fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

std::string_view Extension(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileName.substr(dot);
}

std::string ZeroPadded(int value, int width)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

std::string EscapedName(std::string_view name)
{
    constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            text += "\\\\";
        else if (c == '\t')
            text += "\\t";
        else if (c == '\n')
            text += "\\n";
        else if (byte < 0x20 || byte == 0x7F)
            text += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0xF]};
        else
            text += c;
    }
    return text;
}

std::optional<std::string> UnescapedName(std::string_view text)
{
    std::string name;
    name.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            return std::nullopt;
        const char kind = text[++i];
        if (kind == '\\' || kind == 't' || kind == 'n') {
            name += kind == 't' ? '\t' : kind == 'n' ? '\n' : '\\';
            continue;
        }
        unsigned byte = 0;
        if (kind != 'x' || text.size() - i < 3
            || std::from_chars(text.data() + i + 1, text.data() + i + 3, byte, 16).ptr != text.data() + i + 3)
            return std::nullopt;
        name += static_cast<char>(byte);
        i += 2;
    }
    return name;
}

} // namespace kpx
