// What kpx_publish tells while and after it runs. May touch: the stream it is given.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "pages/PageGenerator.h"

namespace kpx {

// Tallies what a run did with each file and, when asked, shows a line per
// finished page with the files and bytes done so far.
class TPublishReport final : public TPublishObserver
{
public:
    TPublishReport(std::ostream &out, int pageCount, bool showProgress);

    void FileDone(const TPublishTarget &target, TCopyResult result) override;

    int FilesDone() const;
    bool AnyFailed() const;
    // Movies copied, skipped and failed; pages written, skipped and failed;
    // and, when the run ended before its last page, how many were not made.
    std::string Summary() const;

private:
    std::string StoppedEarly() const;

    struct TTally
    {
        int Copied = 0;
        int Skipped = 0; // left alone: by the policy, by the user, or already in place
        int Failed = 0;
        int Total() const { return Copied + Skipped + Failed; }
    };

    std::ostream &FOut;
    int FPageCount;
    bool FShowProgress;
    TTally FMovies;
    TTally FPages;
    std::uintmax_t FBytesCopied = 0;
};

// One line of the dry run's list: what the policy would do with the file, its
// kind and where it goes, three columns apart by tabs. The path writes its
// control bytes and backslashes escaped (\t, \n, \\, \xHH), so that no name
// adds a line or a column. `canAsk` tells whether a question would be asked or
// answered no.
void PrintPlannedCopy(std::ostream &out, const TPlannedCopy &step, bool canAsk);

} // namespace kpx
