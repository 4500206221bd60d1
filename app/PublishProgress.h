// The progress dialogs of the scan and the make-pages run. May touch: widgets, a steady clock.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

// How long work goes on before its progress dialog appears.
constexpr qint64 ProgressDelayMs = 500;

// A modal progress dialog for work on the one thread the program has. It
// appears only once the work has taken ProgressDelayMs, so short work shows
// nothing; each update lets it repaint and its Cancel button be pressed.
class TDelayedProgress
{
public:
    TDelayedProgress(QWidget *parent, const QString &title);
    ~TDelayedProgress();
    TDelayedProgress(const TDelayedProgress &) = delete;
    TDelayedProgress &operator=(const TDelayedProgress &) = delete;

    // `total` 0: the amount of work is unknown.
    void Update(const QString &label, std::uintmax_t done, std::uintmax_t total);
    bool Cancelled() const;
    // Takes the dialog away once the work is over, so that no box telling
    // how it ended shows with the dialog behind it. Cancelled() still answers.
    void Close();

private:
    QWidget *FParent;
    QString FTitle;
    qint64 FStart;
    qint64 FShown = 0; // when the dialog was last brought up to date
    bool FCancelled = false; // of a dialog closed already
    QPointer<QProgressDialog> FDialog;
};

// The make-pages run's progress: the page, the file and the bytes, updated
// between files and between chunks of a movie. Cancel ends the run before
// the next file.
class TPublishProgress final : public TPublishObserver
{
public:
    TPublishProgress(QWidget *parent, int pageCount);

    void FileStarting(const TPublishTarget &target, std::uintmax_t bytesDone, std::uintmax_t bytesTotal) override;
    void FileProgress(const TPublishTarget &target, std::uintmax_t bytesDone, std::uintmax_t bytesTotal) override;
    void FileDone(const TPublishTarget &target, TCopyResult result) override;
    bool Cancelled() override;
    void Close() { FDialog.Close(); }

private:
    void Update(std::uintmax_t bytesDone);

    TDelayedProgress FDialog;
    int FPageCount;
    std::uintmax_t FBytesAfter = 0; // done once the current file is
    std::uintmax_t FBytesTotal = 0;
    QString FFileLine; // the page and what is done with which file
};

} // namespace kpx
