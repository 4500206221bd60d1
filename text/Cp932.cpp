#include "text/Cp932.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace kpx {

namespace {

// One converter per direction and thread; iconv_open is far too slow to call
// for every file name of a large folder.
class TConverter
{
public:
    TConverter(const char *to, const char *from) : FCd(iconv_open(to, from))
    {
        if (FCd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
    ~TConverter() { iconv_close(FCd); }
    TConverter(const TConverter &) = delete;
    TConverter &operator=(const TConverter &) = delete;

    enum class Stop { Done, Invalid, Incomplete };

    // Converts as much of `in` as possible, appending to `out`; on a stop the
    // input is left at the offending byte.
    Stop convert(std::string_view &in, std::string &out)
    {
        iconv(FCd, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (!in.empty()) {
            char *src = const_cast<char *>(in.data());
            size_t srcLeft = in.size();
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(FCd, &src, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, static_cast<size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc != static_cast<size_t>(-1))
                continue;
            if (err == E2BIG)
                continue;
            return err == EINVAL ? Stop::Incomplete : Stop::Invalid;
        }
        return Stop::Done;
    }

private:
    iconv_t FCd;
};

TConverter &toCp932()
{
    thread_local TConverter c("CP932", "UTF-8");
    return c;
}

TConverter &fromCp932()
{
    thread_local TConverter c("UTF-8", "CP932");
    return c;
}

// Length of the well-formed UTF-8 sequence at the front of `s`, or 0.
size_t utf8SequenceLength(std::string_view s)
{
    const auto b = static_cast<unsigned char>(s[0]);
    // 0xC0, 0xC1 and 0xF5 up only ever start overlong or out-of-range forms.
    size_t n = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
    if (n == 0 || n > s.size())
        return 0;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0;
    return n;
}

bool IsUtf8(std::string_view text)
{
    while (!text.empty()) {
        const size_t n = utf8SequenceLength(text);
        if (n == 0)
            return false;
        text.remove_prefix(n);
    }
    return true;
}

constexpr std::string_view Utf8ReplacementChar = "\xEF\xBF\xBD";

} // namespace

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ASCII is the same in both: most file names need no converter at all.
std::optional<std::string> Utf8ToCp932(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    if (toCp932().convert(utf8, out) != TConverter::Stop::Done)
        return std::nullopt;
    return out;
}

std::string Utf8ToCp932Lossy(std::string_view utf8, bool *lossy)
{
    if (lossy)
        *lossy = false;
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    bool replaced = false;
    while (toCp932().convert(utf8, out) != TConverter::Stop::Done) {
        replaced = true;
        out += Cp932ReplacementMark;
        const size_t n = utf8SequenceLength(utf8);
        utf8.remove_prefix(n == 0 ? 1 : n);
    }
    if (lossy)
        *lossy = replaced;
    return out;
}

std::string Utf8ToCp932Referenced(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    while (toCp932().convert(utf8, out) != TConverter::Stop::Done) {
        if (utf8SequenceLength(utf8) == 0) {
            out += Cp932ReplacementMark;
            utf8.remove_prefix(1);
        } else {
            out += "&#" + std::to_string(static_cast<std::uint32_t>(TakeCodePoint(utf8))) + ';';
        }
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932, bool *lossy)
{
    if (lossy)
        *lossy = false;
    if (IsAscii(cp932))
        return std::string(cp932);
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    bool replaced = false;
    while (fromCp932().convert(cp932, out) != TConverter::Stop::Done) {
        replaced = true;
        out += Utf8ReplacementChar;
        cp932.remove_prefix(1);
    }
    if (lossy)
        *lossy = replaced;
    return out;
}

QString Cp932ToQString(std::string_view cp932)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> QStringToCp932(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::string QStringToCp932Lossy(const QString &text, bool *lossy)
{
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932Lossy(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), lossy);
}

std::string FileNameText(std::string_view nativeName)
{
    if (IsUtf8(nativeName))
        return std::string(nativeName);
    bool lossy = false;
    std::string text = Cp932ToUtf8(nativeName, &lossy);
    return lossy ? std::string(nativeName) : text;
}

char32_t TakeCodePoint(std::string_view &utf8)
{
    const size_t n = utf8SequenceLength(utf8);
    if (n == 0) {
        utf8.remove_prefix(1);
        return U'\uFFFD';
    }
    constexpr unsigned char LeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(utf8[0]) & LeadBits[n];
    for (size_t i = 1; i < n; ++i)
        code = code << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    utf8.remove_prefix(n);
    return code;
}

std::filesystem::path Cp932ToNativePath(std::string_view cp932Path)
{
    return std::filesystem::path(Cp932ToNativeName(cp932Path));
}

std::string Cp932ToNativeName(std::string_view cp932Name)
{
    return Cp932ToUtf8(cp932Name);
}

std::optional<std::string> NativePathToCp932(const std::filesystem::path &path)
{
    return Utf8ToCp932(path.native());
}

std::string Sjis(std::string_view utf8Literal)
{
    return Utf8ToCp932Lossy(utf8Literal);
}

} // namespace kpx
