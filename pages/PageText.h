// The text of the pages. May touch: nothing (pure).
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pages/RecFileData.h"

namespace kpx {

// The text of the pages, from the templates, the html file name and the
// movies alone: no file is read or written here.

// Page n of a series: base + ".html" for page 1, base + n in two or more
// digits + ".html" after it; base is the html file name without extension.
std::string PageFileName(std::string_view htmlFileName, int pageNumber);

// The page names of a whole series, page 1 first.
std::vector<std::string> PageFileNames(std::string_view htmlFileName, int pageCount);

struct TPageTemplates
{
    std::string Header;                 // "%i" is the page number
    std::array<std::string, 3> Footers; // first, middle, last page; "%p" previous, "%n" next page
};

// The download markup of one movie, ending with an empty line. `linkPath`
// leads from the page to the movie folder ("" or ending with "/").
std::string MakeMovieBlock(const TRecFileData &entry, std::string_view linkPath);

// The text of page `pageIndex` (from 0) of `pageCount`: the header, a block
// per movie of the page, and a footer linking its neighbours when there is
// more than one page: by the names in pageNames (those the run writes the
// pages under), the naming rule on htmlFileName standing in for a missing one.
// CP932, CR LF.
std::string BuildPageText(const TPageTemplates &templates, std::string_view htmlFileName,
                          std::span<const std::string> pageNames, std::span<const TRecFileData> movies,
                          std::string_view linkPath, int pageIndex, int pageCount);

} // namespace kpx
