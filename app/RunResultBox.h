#pragma once

#include <QString>

#include "components/MessageDialogs.h"
#include "pages/PublishPlan.h"

class QWidget;

namespace kpx {

// Where the result of a run can be looked at, as native paths; empty where
// there is nothing to look at.
struct TPublishedPlaces
{
    QString FirstPage;
    QString HtmlFolder;
};

// The first page and the html folder of a run of `job`, where they exist.
TPublishedPlaces PublishedPlaces(const TPublishJob &job);

// The closing box of a run: `text` in a box of `kind` whose OK stands beside
// "ブラウザで開く" (the first page) and "フォルダを開く" (the html folder),
// each offered where its place exists. The chosen place goes to the desktop
// through OpenTarget, which tests replace.
void ShowRunResult(QWidget *parent, TMsgKind kind, const QString &text, const TPublishedPlaces &places);

} // namespace kpx
