#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pages/MovieCopy.h"
#include "pages/RecFileData.h"
#include "pages/UserPrompt.h"

namespace kpx {

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

// Everything one make-pages run reads. Strings are CP932; folders end with a delimiter.
struct TPublishJob
{
    std::string SourceDir;
    std::string HtmlDir;
    std::string MovieDir;
    std::string HtmlFileName;
    std::vector<std::string> PageNames; // fixed when the page settings were last built
    TPageTemplates Templates;
    TOverwritePolicy Policy = TOverwritePolicy::Confirm;
};

// The download markup of one movie, ending with an empty line.
std::string MakeMovieBlock(const TRecFileData &entry, std::string_view linkPath);

// The text of page r (0-based) of the series, movies not copied.
std::string MakePageText(const TPublishJob &job, const TEntryList &entries, int pageIndex);

// Copies every page's movies and writes every page. True when all pages were
// processed; false when the strict policy refused to run or an error ended the
// run, which the user has been told. Files already written stay.
bool MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt);

} // namespace kpx
