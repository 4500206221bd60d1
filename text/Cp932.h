// Code page 932 to and from Unicode. May touch: the system's iconv tables.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace kpx {

// The one place where code page 932 meets Unicode. Every conversion in the
// program goes through the system's iconv "CP932" table, so files, widgets and
// file-system names agree on the mapping.

// Shown in place of a character that code page 932 cannot hold (U+3013 GETA MARK).
inline constexpr std::string_view Cp932ReplacementMark = "\x81\xAC";

// Unicode text as UTF-8 -> CP932 bytes; nullopt when the text holds a character
// CP932 lacks or is not valid UTF-8.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// As Utf8ToCp932, but every character CP932 lacks (and every invalid UTF-8
// byte) becomes Cp932ReplacementMark. `lossy` reports whether that happened.
std::string Utf8ToCp932Lossy(std::string_view utf8, bool *lossy = nullptr);

// As Utf8ToCp932Lossy, but a character CP932 lacks becomes a decimal character
// reference ("&#233;"), which a page shows as the character itself; only an
// invalid UTF-8 byte becomes the mark.
std::string Utf8ToCp932Referenced(std::string_view utf8);

// CP932 bytes -> UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932, bool *lossy = nullptr);

QString Cp932ToQString(std::string_view cp932);
std::optional<std::string> QStringToCp932(const QString &text);
std::string QStringToCp932Lossy(const QString &text, bool *lossy = nullptr);

// The text a file-system name spells, as UTF-8: the name itself when it is
// UTF-8, its code page 932 reading when it is not UTF-8 but valid CP932 (what
// unpacking an archive made on Windows leaves), else the name as it is.
std::string FileNameText(std::string_view nativeName);

// True when every byte is ASCII, which both encodings spell alike.
bool IsAscii(std::string_view text);

// Takes the character at the front of a UTF-8 text off it; a byte that
// starts no well-formed character gives U+FFFD and goes alone.
char32_t TakeCodePoint(std::string_view &utf8);

// File-system names on this platform are UTF-8 bytes; the core holds CP932.
std::filesystem::path Cp932ToNativePath(std::string_view cp932Path);
// The same bytes as a plain string, for a name used at once: no path is built.
std::string Cp932ToNativeName(std::string_view cp932Name);
std::optional<std::string> NativePathToCp932(const std::filesystem::path &path);

// A UTF-8 literal of our own as CP932 (for fixed Japanese texts of the core).
// Our literals are always representable; this cannot fail for them.
std::string Sjis(std::string_view utf8Literal);

} // namespace kpx
