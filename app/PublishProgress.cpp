#include "app/PublishProgress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWidget>

#include "components/DesktopWindow.h"
#include "components/WindowFont.h"
#include "components/WindowFrame.h"
#include "pages/NumberFormat.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

TProgressClock &ChosenClock()
{
    static TProgressClock clock;
    return clock;
}

qint64 Now()
{
    if (ChosenClock())
        return ChosenClock()();
    static QElapsedTimer timer = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return timer.elapsed();
}

constexpr int Steps = 1000; // the bar's range; byte counts pass int's
constexpr qint64 RepaintIntervalMs = 40;

int StepsOf(std::uintmax_t done, std::uintmax_t total)
{
    return total == 0 ? Steps : static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * Steps);
}

} // namespace

TProgressClock SetProgressClock(TProgressClock clock)
{
    std::swap(ChosenClock(), clock);
    return clock;
}

TDelayedProgress::TDelayedProgress(QWidget *parent, const QString &title)
    : FParent(parent)
    , FTitle(title)
    , FStart(Now())
{
}

TDelayedProgress::~TDelayedProgress()
{
    Close();
}

void TDelayedProgress::Close()
{
    if (!FDialog)
        return;
    FCancelled = FDialog->wasCanceled();
    delete FDialog;
    // The dialog held the keyboard. Gone, it leaves the focus nowhere on some
    // desktops (X11 hands it back only when the user switches windows), and
    // the window it was over would take no key.
    if (QWidget *window = FParent ? FParent->window() : nullptr; window && window->isVisible() && !window->isMinimized())
        window->activateWindow();
}

void TDelayedProgress::Update(const QString &label, std::uintmax_t done, std::uintmax_t total)
{
    if (!FDialog) {
        // Short work ends before this and shows nothing at all.
        if (Now() - FStart < ProgressDelayMs)
            return;
        FDialog = new QProgressDialog(FParent);
        FDialog->setObjectName(QStringLiteral("Progress"));
        FDialog->setWindowTitle(FTitle);
        FDialog->setCancelButtonText(QStringLiteral("キャンセル"));
        FDialog->setWindowModality(Qt::ApplicationModal);
        FDialog->setMinimumDuration(0);
        FDialog->setAutoClose(false);
        FDialog->setAutoReset(false);
        ApplyWindowFont(FDialog);
        // The dialog is no wider than its lines need, which can cut its title.
        FDialog->setMinimumWidth(TitleBarWidth(FDialog));
        PrepareWindow(FDialog);
        FDialog->show();
    } else if (FDialog->wasCanceled()) {
        return; // a value now would show the hidden dialog again
    } else if (Now() - FShown < RepaintIntervalMs) {
        return; // thousands of small files: repainting each would cost more than the copies
    }
    FShown = Now();
    FDialog->setLabelText(label);
    FDialog->setRange(0, total == 0 ? 0 : Steps);
    FDialog->setValue(total == 0 ? 0 : StepsOf(done, total));
    // The work holds the one thread: this is where the dialog repaints and
    // where its Cancel button is pressed.
    QCoreApplication::processEvents();
}

bool TDelayedProgress::Cancelled() const
{
    return FDialog ? FDialog->wasCanceled() : FCancelled;
}

TPublishProgress::TPublishProgress(QWidget *parent, int pageCount)
    : FDialog(parent, QStringLiteral("htmlファイル作成"))
    , FPageCount(pageCount)
{
}

void TPublishProgress::FileStarting(const TPublishTarget &target, std::uintmax_t bytesDone, std::uintmax_t bytesTotal)
{
    FBytesAfter = bytesDone + target.Bytes;
    FBytesTotal = bytesTotal;
    const QString doing = target.Kind == TPublishTarget::TKind::Movie ? QStringLiteral("%1 をコピーしています")
                                                                       : QStringLiteral("%1 を書き込んでいます");
    FFileLine = QStringLiteral("ページ %1/%2\n%3")
                    .arg(target.PageIndex + 1)
                    .arg(FPageCount)
                    .arg(doing.arg(Cp932ToQString(target.Name)));
    Update(bytesDone);
}

void TPublishProgress::FileProgress(const TPublishTarget &, std::uintmax_t bytesDone, std::uintmax_t)
{
    Update(bytesDone);
}

void TPublishProgress::FileDone(const TPublishTarget &, TCopyResult)
{
    Update(FBytesAfter);
}

bool TPublishProgress::Cancelled()
{
    return FDialog.Cancelled();
}

void TPublishProgress::Update(std::uintmax_t bytesDone)
{
    FDialog.Update(QStringLiteral("%1\n%2 / %3")
                       .arg(FFileLine, QString::fromStdString(FormatMegabytes(bytesDone)),
                            QString::fromStdString(FormatMegabytes(FBytesTotal))),
                   bytesDone, FBytesTotal);
}

} // namespace kpx
