// The page settings window's side of the preview: it opens the preview, keeps
// it on the current tab and follows the page links the preview asks for.

#include "components/StayOnTop.h"
#include "settings/file/AppOptions.h"
#include "settings/file/RunSettings.h"
#include "tags/EntryStore.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_preview.h"
#include "tags/kpx_tags.h"

namespace kpx {

void Tkpx_TagsFrm::SetPublishJobSource(std::function<TPublishJob()> source)
{
    FJobSource = std::move(source);
    PublishJobChanged();
}

TPublishJob Tkpx_TagsFrm::PublishJob() const
{
    if (FJobSource)
        return FJobSource();
    TPublishSettings settings;
    std::vector<std::string> names = PageNames();
    if (!names.empty())
        settings.HtmlFileName = names.front();
    ReadRunOptions(FOptions, settings);
    return MakePublishJob(settings, std::move(names));
}

// A hidden preview is brought up to date when it is shown again.
void Tkpx_TagsFrm::PublishJobChanged()
{
    if (FPreview && FPreview->isVisible())
        FPreview->ShowPage(tbc_tags->CurrentIndex());
}

void Tkpx_TagsFrm::MI_PreviewClick()
{
    // The page shows what the panel holds, including a value still being typed.
    StoreFocusedEdit();
    if (!FPreview) {
        FPreview = new Tkpx_PreviewFrm(FStore.List, [this] { return PublishJob(); }, this);
        connect(FPreview, &Tkpx_PreviewFrm::PageRequested, tbc_tags, &TPageTabStrip::SelectTab);
    }
    FPreview->ShowPage(tbc_tags->CurrentIndex());
    SetStayOnTop(FPreview, FOptions.AlwaysTop());
    FPreview->show();
    FPreview->raise();
    FPreview->activateWindow();
}

} // namespace kpx
