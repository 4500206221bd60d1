#pragma once

#include <array>
#include <string_view>

namespace kpx {

// The page templates a fresh installation starts with (UTF-8 here: they are
// plain ASCII apart from the footers' Japanese link texts).
inline constexpr std::string_view DefaultHeader =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<!DOCTYPE html PUBLIC \"-//OPENWAVE//DTD XHTML 1.0//EN\"\r\n"
    "\"http://www.openwave.com/DTD/xhtml-basic.dtd\">\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "<title>ezmovie %i</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "ezmovie %i<br>\r\n";

// First, middle and last page.
inline constexpr std::array<std::string_view, 3> DefaultFooters = {
    "<BR><A HREF = \"%n\" accesskey=\"#\">次へ(#)</A></BODY></HTML>",
    "<BR><A HREF = \"%p\" accesskey=\"*\">前へ(*)</A> / <A HREF = \"%n\" accesskey=\"#\">次へ(#)</A></BODY></HTML>",
    "<BR><A HREF = \"%p\" accesskey=\"*\">前へ(*)</A></BODY></HTML>",
};

inline constexpr std::string_view DefaultRenamePattern = "'mv'yymmdd";

// Characters the rename pattern box refuses as they are typed.
inline constexpr std::string_view RenamePatternRefusedChars = "\\/:,;*?\"<>|";

} // namespace kpx
