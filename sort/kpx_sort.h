// The list window: sort, move and delete movies. May touch: widgets, the entry list it is handed, the settings file.
#pragma once

#include <QDialog>

#include "pages/EntryList.h"

class QAction;
class QFrame;
class QHeaderView;
class QMenu;
class QPushButton;
class QTableView;
class QToolButton;

namespace kpx {

class TAppOptions;
class TIniSaveProps;
class TSortGridModel;

// "一覧・並び替え": every movie of the entry list in one grid, to sort by a
// column, move rows and delete rows. The grid is a working copy; closing the
// window, however it is closed, writes the rows back as the new entry list.
// Created by the page settings window, shown with exec() and destroyed after;
// its placement and column widths are read at creation and saved at destruction.
class Tkpx_sortFrm : public QDialog
{
    Q_OBJECT

public:
    Tkpx_sortFrm(TEntryList &list, const TAppOptions &options, QWidget *owner);
    ~Tkpx_sortFrm() override;

    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void CreateGrid();
    void CreateBottomPanel();
    void CreateGridMenu();
    void DeclareSettings();

    void FormCreate();
    void FormDestroy();
    void IniSaveProps1FindOrdValue(const QString &key, int value);
    void IniSaveProps1AfterSave();

    void FormShow();
    void FormResize();
    void FormCloseQuery();
    void hdctl_sortSectionClick(int section);
    void sb_upClick(const QObject *sender);
    void sl_deleteClick();
    void sg_sortContextPopup(const QPoint &globalPos);
    QPoint CurrentRowPoint() const;

    int SelectedRow() const;
    void UpdateButtons();
    int DefaultColumnWidth(int column) const;
    void SelectRow(int row);

    QFrame *pnl_center = nullptr;
    QHeaderView *hdctl_sort = nullptr;
    QTableView *sg_sort = nullptr;
    QFrame *pnl_bottom = nullptr;
    QFrame *ToolBar1 = nullptr;
    QToolButton *sb_up = nullptr;
    QToolButton *sb_down = nullptr;
    QToolButton *sl_delete = nullptr;
    QPushButton *bbtn_close = nullptr;
    // The grid's context menu: the header's sorts and the three buttons, for
    // the keyboard (Menu key, Shift+F10) as well as the mouse.
    QMenu *pm_grid = nullptr;
    QAction *MI_Up = nullptr;
    QAction *MI_Down = nullptr;
    QAction *MI_Delete = nullptr;
    TIniSaveProps *IniSaveProps1 = nullptr;

    TEntryList &FList;
    const TAppOptions &FOptions;
    TSortGridModel *FModel = nullptr;
};

} // namespace kpx
