// Where the tags of the templates do not nest. May touch: nothing (pure).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kpx {

struct TPageTemplates;

// One text among several read in a row, as a page joins its header and its
// footer; Source tells the caller's texts apart in the problems found.
struct TMarkupPiece
{
    std::string_view Text;
    int Source = 0;
};

struct TMarkupProblem
{
    enum class TKind {
        Unclosed,  // a start tag never ended, or ended only by an end tag enclosing it (Closer)
        StrayEnd,  // an end tag with no open start tag of its name
        UnendedTag // a tag or comment with no closing ">" in its text
    };
    TKind Kind = TKind::Unclosed;
    int Source = 0;
    int Line = 1;        // of the tag in question, from 1 within its piece
    std::string Tag;     // its name as written
    std::string Closer;  // Unclosed only: the end tag's name that ended it, empty at the end of the text

    bool operator==(const TMarkupProblem &) const = default;
};

// Reads the pieces as one text and tells where its tags do not nest: every
// start tag needs an end tag of the same name, compared ignoring letter case,
// before the element around it ends. Void elements (br, hr, img, param, ...)
// and tags closed by "/>" need none, and an end tag of a void element is
// allowed. Comments, declarations and processing instructions are skipped; a
// "<" that starts no tag is text. Safe on code page 932: none of the bytes it
// looks for can be part of a double-byte character.
std::vector<TMarkupProblem> CheckMarkup(std::span<const TMarkupPiece> pieces);

// Sources of CheckTemplates' problems.
enum TTemplatePart {
    tpHeader = 0,
    tpFirstFooter = 1,
    tpMiddleFooter = 2,
    tpLastFooter = 3,
};

// The header read with each footer in turn, as pages join them: a header
// opening <body> that every footer closes is well-formed. Each problem is told
// once, in the order of the templates and their lines.
std::vector<TMarkupProblem> CheckTemplates(const TPageTemplates &templates);

} // namespace kpx
