// The page settings window. May touch: widgets, the entry list, the settings file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "pages/PageGenerator.h"

class QAction;
class QActionGroup;
class QMenu;
class QScrollArea;

namespace kpx {

class TAppOptions;
class TCustomSaveProps;
class TIniSaveProps;
class TPageTabStrip;
class TTagItem;
class Tkpx_PreviewFrm;
struct TEntryStore;

// The page settings window: one tab per output page and, on it, one editor
// panel per movie position of that page. The panels edit store.List in place.
// Closing only hides the window; the main window destroys it on the next build.
// Its placement and column count are read at creation and saved at destruction.
class Tkpx_TagsFrm : public QMainWindow
{
    Q_OBJECT

public:
    Tkpx_TagsFrm(TEntryStore &store, const TAppOptions &options, QWidget *owner);
    ~Tkpx_TagsFrm() override;

    // Fills the window from the entry list, whose FPageItemCount and
    // FPageCount the caller has set, and shows it: one tab per page captioned
    // with the page file name derived from htmlFileName, the first tab
    // selected, one panel per position showing the first page's entries.
    void Build(const QString &htmlFileName);
    // Captions the tabs after a changed html file name: the names the next
    // run writes the pages under.
    void RenamePages(const QString &htmlFileName);
    // The tab captions, page 1 first, as CP932: the file names of the pages.
    std::vector<std::string> PageNames() const;

    int ColCount() const;
    // The work area the window is sized for; empty (the default) takes the
    // available area of the window's screen.
    void SetScreenArea(QSize area) { FScreenArea = area; }

    void setVisible(bool visible) override;

    // What the preview shows a page from: the job as a run would be given it
    // now. Without one the preview uses the templates and the page names.
    void SetPublishJobSource(std::function<TPublishJob()> source);
    // Something the page text is made from changed (templates, folders).
    void PublishJobChanged();

private:
    void CreateMenu();
    void CreateClientArea();
    void DeclareSettings();
    void IniSaveProps1FindOrdValue(const QString &section, int value);
    void IniSaveProps1AfterSave();
    void FillPageTabs(const QString &htmlFileName);
    void CreatePanels();
    QList<TTagItem *> Panels() const;

    void StoreFocusedEdit();
    void tbc_tagsChanging();
    void tbc_tagsChange();
    void ReloadPanels();
    void N1Click();
    void MI_Col3Click(QAction *item);
    void SetColCount(int count);
    void ArrangeItems();
    QSize ScreenArea() const;
    void FormShow();
    void MI_PreviewClick();
    TPublishJob PublishJob() const;

    TEntryStore &FStore;
    const TAppOptions &FOptions;
    QSize FScreenArea;
    TPageTabStrip *tbc_tags = nullptr;
    QScrollArea *sbox_tags = nullptr;
    QWidget *FPanelHost = nullptr; // what sbox_tags scrolls: the panels' parent
    QMenu *MI_ColCnt = nullptr;    // its tag holds the column count
    QActionGroup *FColumnItems = nullptr;
    TIniSaveProps *IniSaveProps1 = nullptr;
    QPointer<Tkpx_PreviewFrm> FPreview; // made when first opened, a child of this window
    std::function<TPublishJob()> FJobSource;
};

} // namespace kpx
