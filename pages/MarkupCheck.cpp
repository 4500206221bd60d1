#include "pages/MarkupCheck.h"

#include <algorithm>
#include <array>

#include "pages/PageText.h"
#include "text/AsciiChars.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

// Elements that never take content, so never an end tag.
constexpr std::array<std::string_view, 16> VoidElements = {
    "area", "base", "basefont", "br", "col", "embed", "hr", "img",
    "input", "isindex", "keygen", "link", "meta", "param", "source", "wbr",
};

bool IsVoid(const std::string &foldedName)
{
    return std::find(VoidElements.begin(), VoidElements.end(), foldedName) != VoidElements.end();
}

bool IsNameChar(char c)
{
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '_' || c == ':' || c == '.';
}

struct TOpenTag
{
    std::string Name;   // as written
    std::string Folded; // for comparing
    int Source;
    int Line;
};

class TMarkupReader
{
public:
    explicit TMarkupReader(std::vector<TMarkupProblem> &problems) : FProblems(problems) {}

    void Read(const TMarkupPiece &piece)
    {
        FText = piece.Text;
        FSource = piece.Source;
        FLine = 1;
        FAt = 0;
        while (FAt < FText.size()) {
            if (FText[FAt] == '<')
                ReadMarkup();
            else
                Advance(1);
        }
    }

    // What is still open once every piece is read.
    void Finish()
    {
        while (!FOpen.empty()) {
            ReportUnclosed(FOpen.back(), {});
            FOpen.pop_back();
        }
    }

private:
    void Advance(size_t count)
    {
        const size_t end = std::min(FAt + count, FText.size());
        FLine += static_cast<int>(std::count(FText.begin() + static_cast<std::ptrdiff_t>(FAt),
                                             FText.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
        FAt = end;
    }

    void ReadMarkup()
    {
        const std::string_view rest = FText.substr(FAt);
        if (rest.starts_with("<!--"))
            return SkipTo("-->", "!--");
        if (rest.starts_with("<!") || rest.starts_with("<?"))
            return SkipTo(">", std::string(rest.substr(1, 1)));
        const bool end = rest.starts_with("</");
        const size_t nameAt = end ? 2 : 1;
        if (nameAt >= rest.size() || !IsAsciiLetter(rest[nameAt]))
            return Advance(1); // a bare "<" is text
        size_t nameEnd = nameAt;
        while (nameEnd < rest.size() && IsNameChar(rest[nameEnd]))
            ++nameEnd;
        const std::string name(rest.substr(nameAt, nameEnd - nameAt));
        const int line = FLine;
        const size_t close = TagEnd(rest, nameEnd);
        if (close == std::string_view::npos) {
            FProblems.push_back({TMarkupProblem::TKind::UnendedTag, FSource, line, end ? "/" + name : name, {}});
            return Advance(rest.size());
        }
        const bool selfClosing = rest[close - 1] == '/';
        Advance(close + 1);
        TOpenTag tag{name, FoldAsciiCase(name), FSource, line};
        if (end)
            CloseElement(tag);
        else if (!selfClosing && !IsVoid(tag.Folded))
            FOpen.push_back(std::move(tag));
    }

    // The ">" that ends a tag, past quoted attribute values; npos when none.
    // A quote opens a value only after "=": an apostrophe in an unquoted
    // value is text.
    static size_t TagEnd(std::string_view tag, size_t from)
    {
        char quote = 0;
        char previous = 0; // the last byte before this one that is no blank
        for (size_t i = from; i < tag.size(); ++i) {
            const char c = tag[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if ((c == '"' || c == '\'') && previous == '=') {
                quote = c;
            } else if (c == '>') {
                return i;
            }
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                previous = c;
        }
        return std::string_view::npos;
    }

    void SkipTo(std::string_view terminator, const std::string &what)
    {
        const size_t end = FText.find(terminator, FAt);
        if (end == std::string_view::npos) {
            FProblems.push_back({TMarkupProblem::TKind::UnendedTag, FSource, FLine, what, {}});
            return Advance(FText.size());
        }
        Advance(end - FAt + terminator.size());
    }

    // An end tag ends the innermost open element of its name; elements opened
    // inside that one and still open were never ended.
    void CloseElement(const TOpenTag &endTag)
    {
        const auto match = std::find_if(FOpen.rbegin(), FOpen.rend(),
                                        [&endTag](const TOpenTag &open) { return open.Folded == endTag.Folded; });
        if (match == FOpen.rend()) {
            if (!IsVoid(endTag.Folded))
                FProblems.push_back({TMarkupProblem::TKind::StrayEnd, endTag.Source, endTag.Line, endTag.Name, {}});
            return;
        }
        const auto matchAt = match.base() - 1;
        for (auto inner = FOpen.end() - 1; inner != matchAt; --inner)
            ReportUnclosed(*inner, endTag.Name);
        FOpen.erase(matchAt, FOpen.end());
    }

    void ReportUnclosed(const TOpenTag &open, const std::string &closer)
    {
        FProblems.push_back({TMarkupProblem::TKind::Unclosed, open.Source, open.Line, open.Name, closer});
    }

    std::vector<TMarkupProblem> &FProblems;
    std::vector<TOpenTag> FOpen;
    std::string_view FText;
    int FSource = 0;
    int FLine = 1;
    size_t FAt = 0;
};

bool SameProblemPlace(const TMarkupProblem &a, const TMarkupProblem &b)
{
    return a.Kind == b.Kind && a.Source == b.Source && a.Line == b.Line && a.Tag == b.Tag;
}

} // namespace

std::vector<TMarkupProblem> CheckMarkup(std::span<const TMarkupPiece> pieces)
{
    std::vector<TMarkupProblem> problems;
    TMarkupReader reader(problems);
    for (const TMarkupPiece &piece : pieces)
        reader.Read(piece);
    reader.Finish();
    return problems;
}

std::vector<TMarkupProblem> CheckTemplates(const TPageTemplates &templates)
{
    std::vector<TMarkupProblem> problems;
    for (int footer = 0; footer < 3; ++footer) {
        const TMarkupPiece pair[] = {{templates.Header, tpHeader},
                                     {templates.Footers[static_cast<size_t>(footer)], tpFirstFooter + footer}};
        for (TMarkupProblem &problem : CheckMarkup(pair)) {
            // The header's own faults show with every footer; tell them once.
            const bool known = std::any_of(problems.begin(), problems.end(), [&problem](const TMarkupProblem &seen) {
                return SameProblemPlace(seen, problem);
            });
            if (!known)
                problems.push_back(std::move(problem));
        }
    }
    std::stable_sort(problems.begin(), problems.end(), [](const TMarkupProblem &a, const TMarkupProblem &b) {
        return a.Source != b.Source ? a.Source < b.Source : a.Line < b.Line;
    });
    return problems;
}

} // namespace kpx
