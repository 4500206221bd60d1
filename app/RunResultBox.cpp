#include "app/RunResultBox.h"

#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "components/LtLabel.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

QString ExistingPath(const std::string &cp932Path)
{
    const QString path = QString::fromStdString(Cp932ToNativePath(cp932Path).string());
    return QFileInfo::exists(path) ? path : QString();
}

} // namespace

TPublishedPlaces PublishedPlaces(const TPublishJob &job)
{
    TPublishedPlaces places;
    if (job.HtmlDir.empty())
        return places;
    places.HtmlFolder = ExistingPath(job.HtmlDir);
    if (!job.PageNames.empty())
        places.FirstPage = ExistingPath(job.HtmlDir + job.PageNames.front());
    return places;
}

void ShowRunResult(QWidget *parent, TMsgKind kind, const QString &text, const TPublishedPlaces &places)
{
    QStringList buttons = {QStringLiteral("OK")};
    QStringList targets = {QString()};
    const auto offer = [&](const QString &path, const QString &caption) {
        if (path.isEmpty())
            return;
        buttons << caption;
        // Encoded whole, so that no character of a folder's name (#, %) is read as part of the URL.
        targets << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    };
    offer(places.FirstPage, QStringLiteral("ブラウザで開く"));
    offer(places.HtmlFolder, QStringLiteral("フォルダを開く"));
    const int chosen = ShowChoice(parent, kind, text, buttons);
    if (chosen > 0 && chosen < targets.size())
        OpenTarget(targets.at(chosen));
}

} // namespace kpx
