#include "pages/PageText.h"

#include <algorithm>

#include "pages/LinkText.h"
#include "pages/NumberFormat.h"
#include "text/Cp932Walk.h"
#include "text/NameParts.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

constexpr std::string_view CrLf = "\r\n";
constexpr std::string_view IdeographicSpace = "\x81\x40";

// Replaces every "%x" placeholder regardless of letter case. "%" is never part
// of a double-byte character, so a byte search is safe in CP932 text.
std::string ReplacePlaceholder(std::string_view text, std::string_view placeholder, std::string_view value)
{
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '%' && FoldAsciiCase(text.substr(i, placeholder.size())) == FoldAsciiCase(placeholder)) {
            result += value;
            i += placeholder.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

// A link the page writes (the unquoted data= value, a page name in a footer):
// every single byte that ends an unquoted attribute or means something in a
// URL becomes %XX. A ":" would make a first segment a scheme and browsers read
// "\\" as "/". Double-byte characters stay whole, since a trail byte may equal
// one of those bytes (a backquote, a backslash) yet is none.
void AppendDataLink(std::string &out, std::string_view link)
{
    constexpr std::string_view Escaped = "\"#%&':<=>?\\`";
    constexpr char Hex[] = "0123456789ABCDEF";
    for (size_t i = 0, length = 0; i < link.size(); i += length) {
        length = Cp932CharLength(link, i);
        const auto byte = static_cast<unsigned char>(link[i]);
        if (length == 2) {
            out += link.substr(i, 2);
        } else if (byte <= 0x20 || byte == 0x7F || Escaped.find(link[i]) != std::string_view::npos) {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
        } else {
            out += link[i];
        }
    }
}

// A quoted attribute's text: only the quote could end it. Character references
// the user typed (handset pictographs) must keep working, so only an "&" that
// begins none is escaped. Neither byte is ever part of a double-byte character.
void AppendQuotedText(std::string &out, std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            out += "&quot;";
        else if (text[i] == '&' && !BeginsCharacterReference(text.substr(i)))
            out += "&amp;";
        else
            out += text[i];
    }
}

std::string LinkToPage(std::string_view pageName)
{
    std::string link;
    AppendDataLink(link, pageName);
    return link;
}

// The name page i (from 0) is written under: the run's own, else the naming rule's.
std::string NameOfPage(std::string_view htmlFileName, std::span<const std::string> pageNames, int pageIndex)
{
    return pageIndex >= 0 && static_cast<size_t>(pageIndex) < pageNames.size()
               ? pageNames[static_cast<size_t>(pageIndex)]
               : PageFileName(htmlFileName, pageIndex + 1);
}

std::string MakeFooter(const TPageTemplates &templates, std::string_view htmlFileName,
                       std::span<const std::string> pageNames, int pageIndex, int pageCount)
{
    // The links lead to the names the pages are written under, whatever the name field says now.
    const std::string previous = LinkToPage(NameOfPage(htmlFileName, pageNames, pageIndex - 1));
    const std::string next = LinkToPage(NameOfPage(htmlFileName, pageNames, pageIndex + 1));
    if (pageIndex == 0)
        return ReplacePlaceholder(templates.Footers[0], "%n", next);
    if (pageIndex == pageCount - 1)
        return ReplacePlaceholder(templates.Footers[2], "%p", previous);
    return ReplacePlaceholder(ReplacePlaceholder(templates.Footers[1], "%n", next), "%p", previous);
}

} // namespace

std::string PageFileName(std::string_view htmlFileName, int pageNumber)
{
    std::string name(BaseName(htmlFileName));
    if (pageNumber >= 2)
        name += ZeroPadded(pageNumber, 2);
    return name + ".html";
}

std::vector<std::string> PageFileNames(std::string_view htmlFileName, int pageCount)
{
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(std::max(pageCount, 0)));
    for (int page = 1; page <= pageCount; ++page)
        names.push_back(PageFileName(htmlFileName, page));
    return names;
}

std::string MakeMovieBlock(const TRecFileData &entry, std::string_view linkPath)
{
    const auto pick = [](const auto &table, std::int32_t index) {
        // Values out of range come only from a damaged entry; fall back to the first.
        return index >= 0 && static_cast<size_t>(index) < table.size() ? table[static_cast<size_t>(index)] : table[0];
    };
    std::string block;
    block.reserve(320 + entry.LinkName.size() + entry.SaveName.size() + entry.CopyName.size());
    block += "<object data=";
    AppendDataLink(block, linkPath);
    AppendDataLink(block, entry.CopyName);
    block += " type=\"application/x-mpeg\" copyright=\"";
    block += pick(RightsTexts, entry.DlKind);
    block += "\" ";
    block += CrLf;
    block += "    standby=\"";
    AppendQuotedText(block, entry.LinkName);
    block += " (";
    block += FormatThousands(entry.FileSize);
    block += "byte)\">";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"title\" value=\"";
    AppendQuotedText(block, entry.SaveName);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"size\" value=\"";
    block += std::to_string(entry.FileSize);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"disposition\" value=\"";
    block += pick(DispositionPrefixes, entry.DlKind);
    block += pick(NoVideoMarks, entry.NoVideo ? 1 : 0);
    block += pick(SoundMarks, entry.SoundKind);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += "</object>";
    block += CrLf;
    block += CrLf; // the empty seventh line
    return block;
}

std::string BuildPageText(const TPageTemplates &templates, std::string_view htmlFileName,
                          std::span<const std::string> pageNames, std::span<const TRecFileData> movies,
                          std::string_view linkPath, int pageIndex, int pageCount)
{
    const auto addItem = [](std::string &text, std::string_view item) {
        text += item;
        text += CrLf;
    };
    std::string text;
    addItem(text, ReplacePlaceholder(templates.Header, "%i", std::to_string(pageIndex + 1)));
    for (const TRecFileData &movie : movies)
        addItem(text, MakeMovieBlock(movie, linkPath));
    if (pageCount > 1)
        addItem(text, MakeFooter(templates, htmlFileName, pageNames, pageIndex, pageCount));
    return text;
}

} // namespace kpx
