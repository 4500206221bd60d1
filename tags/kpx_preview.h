// The preview window. May touch: widgets, the settings file (its placement and width).
#pragma once

#include <functional>

#include <QMainWindow>

#include "pages/PageGenerator.h"

class QActionGroup;
class QLabel;
class QTextBrowser;
class QUrl;

namespace kpx {

class TIniSaveProps;

// The page of the series as a handset shows it, at a handset's width, made
// from exactly the bytes a make-pages run would write for it. Below the view
// one status line: the page's size as written and what does not nest in the
// header and footer templates. The footer's links to other pages of the
// series ask the owner to show that page (PageRequested); other links are not
// followed. Modeless; closing (also with Esc) only hides it. Its placement
// and width are read at creation and saved at destruction.
class Tkpx_PreviewFrm : public QMainWindow
{
    Q_OBJECT

public:
    // The job as a run would be given it now, read at every refresh.
    using TJobSource = std::function<TPublishJob()>;

    Tkpx_PreviewFrm(const TEntryList &entries, TJobSource job, QWidget *owner);
    ~Tkpx_PreviewFrm() override;

    // Shows page pageIndex (from 0) as the entries and the job read now.
    void ShowPage(int pageIndex);
    // Shows the same page again, after the entries or the job changed.
    void Refresh() { ShowPage(FPageIndex); }
    int PageIndex() const { return FPageIndex; }
    // The page's text as written, decoded from code page 932.
    const QString &PageSource() const { return FPageSource; }

    int PageWidth() const;
    void SetPageWidth(int pixels);

    void setVisible(bool visible) override;

signals:
    void PageRequested(int pageIndex);

private:
    void CreateMenu();
    void CreateClientArea();
    void DeclareSettings();
    void IniSaveProps1AfterLoad();
    void IniSaveProps1AfterSave();
    void brw_previewAnchorClicked(const QUrl &link);
    void ShowStatus(const TPublishJob &job, std::size_t pageBytes);
    void PlaceBesideOwner();

    const TEntryList &FEntries;
    const TJobSource FJob;
    int FPageIndex = 0;
    QString FPageSource;
    std::vector<std::string> FPageNames; // of the page shown, for its links
    QTextBrowser *brw_preview = nullptr;
    QLabel *stx_status = nullptr;
    QActionGroup *FWidthItems = nullptr;
    TIniSaveProps *IniSaveProps1 = nullptr;
};

} // namespace kpx
