#pragma once

#include <functional>

#include <QPointer>
#include <QString>
#include <QtGlobal>

#include "pages/PageGenerator.h"

class QProgressDialog;
class QWidget;

namespace kpx {

// Milliseconds on a steady clock. Tests put their own in place, so that
// whether the dialog appears never depends on how fast the machine is.
using TProgressClock = std::function<qint64()>;
// Returns the previous clock; an empty one means the system's.
TProgressClock SetProgressClock(TProgressClock clock);

// How long a run goes on before its progress dialog appears.
constexpr qint64 ProgressDelayMs = 500;

// The make-pages run's modal progress dialog. It appears only once the run
// has taken ProgressDelayMs, shows the page, the file and the bytes, and lets
// the dialog repaint between files and between chunks of a movie, on the one
// thread the run has. Its Cancel button ends the run before the next file.
class TPublishProgress final : public TPublishObserver
{
public:
    TPublishProgress(QWidget *parent, int pageCount);
    ~TPublishProgress() override;
    TPublishProgress(const TPublishProgress &) = delete;
    TPublishProgress &operator=(const TPublishProgress &) = delete;

    void FileStarting(const TPublishTarget &target, std::uintmax_t bytesDone, std::uintmax_t bytesTotal) override;
    void FileProgress(const TPublishTarget &target, std::uintmax_t bytesDone, std::uintmax_t bytesTotal) override;
    void FileDone(const TPublishTarget &target, TCopyResult result) override;
    bool Cancelled() override;

    bool WasShown() const { return FShown; }

private:
    // Shows the dialog once the delay has passed, and lets it repaint.
    void Update(std::uintmax_t bytesDone);

    QWidget *FParent;
    int FPageCount;
    qint64 FStart;
    bool FShown = false;
    std::uintmax_t FBytesAfter = 0; // done once the current file is
    std::uintmax_t FBytesTotal = 0;
    QString FFileLine; // the page and what is done with which file
    QPointer<QProgressDialog> FDialog;
};

} // namespace kpx
