// The page templates a fresh installation starts with. May touch: nothing (constants).
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include <QString>

namespace kpx {

// The page templates a fresh installation starts with (UTF-8 here: they are
// plain ASCII apart from the footers' Japanese link texts).
inline constexpr std::string_view DefaultHeader = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
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

// Blank templates are filled in when the program starts: the header whenever
// it is blank, the footers only when all three are, so one footer left blank
// on purpose stays blank.
inline bool HeaderNeedsDefault(const QString &header)
{
    return header.trimmed().isEmpty();
}

inline bool FootersNeedDefaults(const std::array<QString, 3> &footers)
{
    return std::all_of(footers.begin(), footers.end(), [](const QString &f) { return f.trimmed().isEmpty(); });
}

} // namespace kpx
