// What kpx_publish tells while and after it runs. May touch: the stream it is given.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "pages/PageGenerator.h"

namespace kpx {

// Shows, when asked, a line per finished page with the files and bytes done
// so far; the run's closing words come from its summary.
class TPublishReport final : public TPublishObserver
{
public:
    TPublishReport(std::ostream &out, int pageCount, bool showProgress);

    void FileDone(const TPublishTarget &target, TCopyResult result) override;
    bool ShowsBytes() const override { return false; }

private:
    std::ostream &FOut;
    int FPageCount;
    bool FShowProgress;
    int FFilesDone = 0;
    std::uintmax_t FBytesCopied = 0;
};

// One line of the dry run's list: what the policy would do with the file, its
// kind and where it goes, three columns apart by tabs. The path writes its
// control bytes and backslashes escaped (\t, \n, \\, \xHH), so that no name
// adds a line or a column. `canAsk` tells whether a question would be asked or
// answered no.
void PrintPlannedCopy(std::ostream &out, const TPlannedCopy &step, bool canAsk);

} // namespace kpx
