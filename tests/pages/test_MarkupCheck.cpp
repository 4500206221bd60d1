#include <gtest/gtest.h>

#include "pages/MarkupCheck.h"
#include "pages/PageGenerator.h"
#include "settings/file/DefaultTemplates.h"
#include "text/Cp932.h"

using namespace kpx;
using TKind = TMarkupProblem::TKind;

namespace {

TEST(MarkupCheck, TellsWhichTagDoesNotNestAndOnWhichLine)
{
    const struct
    {
        std::string markup;
        std::vector<TMarkupProblem> expected;
    } cases[] = {
        {"<p>a<br>b<BR/><img src=x.gif><hr />\r\n</P>", {}}, // case and void elements
        {"<b>bold\r\n<i>both</b></i>", {{TKind::Unclosed, 0, 2, "i", "b"}, {TKind::StrayEnd, 0, 2, "i", {}}}},
        {"<body>\r\n\r\n<b>title\r\n", {{TKind::Unclosed, 0, 3, "b", {}}, {TKind::Unclosed, 0, 1, "body", {}}}},
        {"a\r\n</p>", {{TKind::StrayEnd, 0, 2, "p", {}}}},
        {"<param name=x></param><br></br>", {}},        // an end tag a void element may have
        {"<a title=\"x>y\" alt='</b>'>z</a>", {}},      // quoted values hide markup
        {"<a title=it's>x</a>", {}},                      // an apostrophe inside an unquoted value
        {"<!-- <b> -->\r\n<?xml version=\"1.0\"?><!DOCTYPE html>", {}},
        {"1 < 2 <3 </ >", {}},                            // a "<" that starts no tag is text
        {Sjis("<p>表示</p>\r\n<a href=\"x\r\n"), {{TKind::UnendedTag, 0, 2, "a", {}}}},
        {"\r\n<!-- open", {{TKind::UnendedTag, 0, 2, "!--", {}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.markup);
        const TMarkupPiece piece[] = {{c.markup, 0}};
        EXPECT_EQ(CheckMarkup(piece), c.expected);
    }
}

TEST(MarkupCheck, TemplatesAreReadAsTheHeaderFollowedByEachFooter)
{
    TPageTemplates templates;
    templates.Header = Sjis(DefaultHeader);
    for (size_t i = 0; i < 3; ++i)
        templates.Footers[i] = Sjis(DefaultFooters[i]);
    EXPECT_EQ(CheckTemplates(templates), std::vector<TMarkupProblem>());

    // The header's fault shows once, not once per footer; a footer's own after it.
    templates.Header += "<b>";
    templates.Footers[2] = "</p>" + templates.Footers[2];
    EXPECT_EQ(CheckTemplates(templates),
              (std::vector<TMarkupProblem>{{TKind::Unclosed, tpHeader, 10, "b", "BODY"},
                                           {TKind::StrayEnd, tpLastFooter, 1, "p", {}}}));
}

} // namespace
