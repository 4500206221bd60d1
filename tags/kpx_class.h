// The editor panel of one movie entry. May touch: widgets, the entry it edits.
#pragma once

#include <QFrame>

#include "pages/RecFileData.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace kpx {

class TAppOptions;
struct TEntryStore;

// Kind codes of a panel's children: a child's tag is the panel's tag x 100
// plus its code, and the shared handlers dispatch on tag % 100.
enum TTagKind {
    tkLblStandby = 0,
    tkLblDltitle = 1,
    tkEdtStandby = 2,
    tkEdtDltitle = 3,
    tkGbType = 4,
    tkSbDL = 5,
    tkSbStream = 6,
    tkGbSound = 7,
    tkRbQlrep = 8,
    tkRbMp3 = 9,
    tkRbNone = 10,
    tkCbxNoPic = 11,
    tkStxSize = 12,
    tkStxNo = 13,
};

// The editor of one movie entry. It shows a copy of the entry and writes every
// confirmed edit straight into store.List.FEntries at the index held in its
// tag; edit boxes confirm when the focus leaves them, buttons on click.
class TTagItem : public QFrame
{
    Q_OBJECT

public:
    static constexpr int ItemWidth = 340;
    static constexpr int ItemHeight = 140;

    // An empty panel in the scroll box. The caller names it, sets its tag and
    // record, places it and then calls CreateControls.
    TTagItem(QWidget *scrollBox, TEntryStore &store, const TAppOptions &options);

    int Tag() const;
    void SetTag(int entryIndex);
    void SetRecFileData(const TRecFileData &record) { FRecFileData = record; }

    // Builds the children from the record; nothing is stored while building.
    void CreateControls();
    // Shows another entry in the existing children without storing anything.
    // The position field keeps showing the position on the page.
    void LoadRecFileData(const TRecFileData &record);

    // Stores the value of one of this panel's children into the entry. Hosts
    // call it for the focused edit box to keep a value still being typed.
    void RecFileDataChange(QObject *sender);

signals:
    // A confirmed edit reached the entry list.
    void EntryStored();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateEdits();
    void CreateTypeGroup();
    void CreateSoundGroup();
    void CreateStatusFields();
    void ConnectHandlers();
    void ShowRecord();
    void ShowEditText(QLineEdit *edit, const std::string &cp932Text);

    void StoreValue(QObject *sender);
    TRecFileData *Entry();
    void EditKeyDown(const QKeyEvent &event);
    void EditChange(QLineEdit *edit);
    void Edt_standbyChange();

    TEntryStore &FStore;
    const TAppOptions &FOptions;
    TRecFileData FRecFileData;
    bool FKeyTyped = false; // shared by both edit boxes: arms completion

    QLineEdit *edt_standby = nullptr;
    QLineEdit *edt_dltitle = nullptr;
    QList<QAbstractButton *> FTypeButtons; // sb_DL, sb_Stream by DlKind
    QButtonGroup *FSoundButtons = nullptr; // the radio buttons by SoundKind
    QCheckBox *cbx_NoPic = nullptr;
    QLabel *stx_Size = nullptr;
    QLabel *stx_no = nullptr;
};

} // namespace kpx
