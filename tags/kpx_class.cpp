#include "tags/kpx_class.h"

#include <algorithm>
#include <array>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "components/ControlNames.h"
#include "components/EditingKeys.h"
#include "components/PageTextValidator.h"
#include "pages/NumberFormat.h"
#include "settings/file/AppOptions.h"
#include "tags/ControlTag.h"
#include "tags/EntryStore.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

struct TChildLayout
{
    const char *Suffix;
    QRect Geometry; // relative to the parent: left, top, width, height
    const char *Caption;
};

// Indexed by TTagKind.
const std::array<TChildLayout, 14> ChildLayouts = {{
    {"lbl_standby", {12, 16, 58, 12}, "ＤＬリンク名"},
    {"lbl_dltitle", {12, 37, 77, 12}, "保存ファイル名"},
    {"edt_standby", {96, 10, 230, 20}, ""},
    {"edt_dltitle", {96, 36, 230, 20}, ""},
    {"gb_Type", {12, 58, 139, 73}, "形式"},
    {"sb_DL", {8, 16, 120, 22}, "ダウンロード"},
    {"sb_Stream", {8, 42, 120, 22}, "ショートストリーミング"},
    {"gb_sound", {160, 58, 167, 37}, "音声"},
    {"rb_qlrep", {8, 12, 60, 17}, "QLREP"},
    {"rb_mp3", {68, 12, 60, 17}, "MP3"},
    {"rb_none", {116, 12, 40, 17}, "なし"},
    {"cbx_NoPic", {162, 106, 80, 17}, "映像なし"},
    {"stx_Size", {230, 106, 76, 17}, ""},
    {"stx_no", {310, 106, 16, 17}, ""},
}};

QString Caption(TTagKind kind)
{
    return QString::fromUtf8(ChildLayouts[kind].Caption);
}

// A child named after the panel, placed by the table and tagged with the
// panel's tag x 100 + its kind.
template <typename T>
T *AddChild(const TTagItem &panel, QWidget *parent, TTagKind kind)
{
    const TChildLayout &layout = ChildLayouts[kind];
    auto *child = new T(parent);
    child->setObjectName(panel.objectName() + QLatin1String(layout.Suffix));
    child->setGeometry(layout.Geometry);
    SetControlTag(child, panel.Tag() * 100 + kind);
    return child;
}

template <typename T>
T *AddCaptionedChild(const TTagItem &panel, QWidget *parent, TTagKind kind)
{
    T *child = AddChild<T>(panel, parent, kind);
    child->setText(Caption(kind));
    return child;
}

QLabel *AddStaticText(TTagItem &panel, TTagKind kind, Qt::Alignment alignment)
{
    auto *text = AddChild<QLabel>(panel, &panel, kind);
    text->setAlignment(alignment | Qt::AlignVCenter);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setLineWidth(1);
    return text;
}

// The field has room for about "1,234 Bytes" at the window's font, yet the
// largest size, "2,147,483,647 Bytes", must show whole, and the panel's other
// controls keep their places: a text too wide is drawn condensed instead.
void ShowWhole(QLabel *label, const QString &text)
{
    label->setText(text);
    QFont font = label->font();
    font.setStretch(QFont::Unstretched);
    const int room = label->contentsRect().width() - label->indent();
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width > room) {
        // The font engine rounds: narrow on until the text really fits.
        for (int stretch = std::max(1, room * QFont::Unstretched / width); stretch >= 1; --stretch) {
            font.setStretch(stretch);
            if (QFontMetrics(font).horizontalAdvance(text) <= room)
                break;
        }
    }
    label->setFont(font);
}

// Lays buttons out side by side below the group's title, each as wide as
// its caption needs, and grows the group where the design size is too small
// for them at this font and style.
void PlaceInRow(QGroupBox *group, const QList<QAbstractButton *> &buttons)
{
    constexpr int Spacing = 2;
    const QMargins inside = group->contentsMargins();
    int left = inside.left() + 4;
    int height = 0;
    for (QAbstractButton *button : buttons)
        height = std::max(height, button->sizeHint().height());
    for (QAbstractButton *button : buttons) {
        const int width = button->sizeHint().width();
        button->setGeometry(left, inside.top(), width, height);
        left += width + Spacing;
    }
    group->resize(std::max(group->width(), left - Spacing + inside.right() + 2),
                  std::max(group->height(), inside.top() + height + std::max(inside.bottom(), 2)));
}

// Checks the button whose id is `id` and unchecks the others; an id no
// button has (a garbled record) leaves none checked.
void CheckOnly(QButtonGroup *group, int id)
{
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(group->id(button) == id);
    group->setExclusive(true);
}

void CheckOnly(const QList<QAbstractButton *> &buttons, int index)
{
    for (int i = 0; i < buttons.size(); ++i)
        buttons.at(i)->setChecked(i == index);
}

} // namespace

TTagItem::TTagItem(QWidget *scrollBox, TEntryStore &store, const TAppOptions &options)
    : QFrame(scrollBox)
    , FStore(store)
    , FOptions(options)
{
    resize(ItemWidth, ItemHeight);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

int TTagItem::Tag() const
{
    return ControlTag(this);
}

void TTagItem::SetTag(int entryIndex)
{
    SetControlTag(this, entryIndex);
}

void TTagItem::CreateControls()
{
    auto *lbl_standby = AddCaptionedChild<QLabel>(*this, this, tkLblStandby);
    auto *lbl_dltitle = AddCaptionedChild<QLabel>(*this, this, tkLblDltitle);
    CreateEdits();
    NameByLabel(lbl_standby, edt_standby);
    NameByLabel(lbl_dltitle, edt_dltitle);
    CreateTypeGroup();
    CreateSoundGroup();
    CreateStatusFields();
    ShowRecord();
    ConnectHandlers();
}

void TTagItem::CreateEdits()
{
    edt_standby = AddChild<QLineEdit>(*this, this, tkEdtStandby);
    edt_dltitle = AddChild<QLineEdit>(*this, this, tkEdtDltitle);
    RestrictToPageText(edt_standby);
    RestrictToPageText(edt_dltitle);
}

void TTagItem::CreateTypeGroup()
{
    auto *gb_Type = AddChild<QGroupBox>(*this, this, tkGbType);
    gb_Type->setTitle(Caption(tkGbType));
    // No button group: Qt would take the unchecked one out of the Tab order.
    // ShowRecord and a click check one alone.
    for (const TTagKind kind : {tkSbDL, tkSbStream}) {
        auto *button = AddCaptionedChild<QToolButton>(*this, gb_Type, kind);
        button->setCheckable(true);
        button->setAutoRaise(true);
        // Tab reaches both; Space chooses.
        button->setFocusPolicy(Qt::StrongFocus);
        FTypeButtons.append(button); // indexed by DlKind
    }
}

void TTagItem::CreateSoundGroup()
{
    auto *gb_sound = AddChild<QGroupBox>(*this, this, tkGbSound);
    gb_sound->setTitle(Caption(tkGbSound));
    FSoundButtons = new QButtonGroup(this);
    for (const TTagKind kind : {tkRbQlrep, tkRbMp3, tkRbNone}) {
        auto *button = AddCaptionedChild<QRadioButton>(*this, gb_sound, kind);
        // Tab reaches the group through its first button only.
        if (kind != tkRbQlrep)
            button->setFocusPolicy(Qt::ClickFocus);
        FSoundButtons->addButton(button, kind - tkRbQlrep);
    }
    PlaceInRow(gb_sound, FSoundButtons->buttons());
}

void TTagItem::CreateStatusFields()
{
    cbx_NoPic = AddCaptionedChild<QCheckBox>(*this, this, tkCbxNoPic);
    stx_Size = AddStaticText(*this, tkStxSize, Qt::AlignRight);
    stx_Size->setIndent(2);
    stx_no = AddStaticText(*this, tkStxNo, Qt::AlignHCenter);
    stx_no->setText(QString::number(Tag() + 1));
    stx_no->setAutoFillBackground(true);
    QPalette colours = stx_no->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Active, QPalette::Base));
    stx_no->setPalette(colours);
    QFont bold = stx_no->font();
    bold.setBold(true);
    stx_no->setFont(bold);
}

void TTagItem::ConnectHandlers()
{
    connect(edt_standby, &QLineEdit::textChanged, this, &TTagItem::Edt_standbyChange);
    connect(edt_dltitle, &QLineEdit::textChanged, this, [this] { EditChange(edt_dltitle); });
    edt_standby->installEventFilter(this);
    edt_dltitle->installEventFilter(this);

    for (QAbstractButton *button : FTypeButtons)
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { CheckOnly(FTypeButtons, static_cast<int>(FTypeButtons.indexOf(button))); });
    QList<QAbstractButton *> buttons = FTypeButtons + FSoundButtons->buttons();
    buttons.append(cbx_NoPic);
    for (QAbstractButton *button : buttons)
        connect(button, &QAbstractButton::clicked, this, [this, button] { RecFileDataChange(button); });
}

void TTagItem::LoadRecFileData(const TRecFileData &record)
{
    FRecFileData = record;
    ShowRecord();
}

void TTagItem::ShowRecord()
{
    ShowEditText(edt_standby, FRecFileData.LinkName);
    ShowEditText(edt_dltitle, FRecFileData.SaveName);
    // Setting a state programmatically emits no click, so these store nothing.
    CheckOnly(FTypeButtons, FRecFileData.DlKind);
    CheckOnly(FSoundButtons, FRecFileData.SoundKind);
    cbx_NoPic->setChecked(FRecFileData.NoVideo);
    ShowWhole(stx_Size, QString::fromStdString(FormatThousands(FRecFileData.FileSize)) + QStringLiteral(" Bytes"));
}

void TTagItem::ShowEditText(QLineEdit *edit, const std::string &cp932Text)
{
    const QString text = Cp932ToQString(cp932Text);
    {
        // A shown value must neither mirror nor complete.
        const QSignalBlocker detached(edit);
        edit->setText(text);
    }
    edit->setToolTip(text);
    FStore.InputHistory.Add(text);
}

bool TTagItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edt_standby || watched == edt_dltitle) {
        if (event->type() == QEvent::KeyPress)
            EditKeyDown(static_cast<const QKeyEvent &>(*event));
        else if (event->type() == QEvent::FocusOut)
            RecFileDataChange(watched);
    }
    return QFrame::eventFilter(watched, event);
}

void TTagItem::RecFileDataChange(QObject *sender)
{
    StoreValue(sender);
    // The save name was mirrored from the link name; it is confirmed with it.
    if (ControlTag(sender) % 100 == tkEdtStandby)
        StoreValue(edt_dltitle);
    emit EntryStored();
}

void TTagItem::StoreValue(QObject *sender)
{
    const int kind = ControlTag(sender) % 100;
    if (auto *edit = qobject_cast<QLineEdit *>(sender)) {
        const QString text = edit->text();
        edit->setToolTip(text);
        if (TRecFileData *entry = Entry()) {
            if (kind == tkEdtStandby)
                entry->LinkName = QStringToCp932Lossy(text);
            else if (kind == tkEdtDltitle)
                entry->SaveName = QStringToCp932Lossy(text);
        }
        FStore.InputHistory.Add(text);
        return;
    }
    auto *button = qobject_cast<QAbstractButton *>(sender);
    TRecFileData *entry = Entry();
    if (!button || !entry)
        return;
    switch (kind) {
    case tkSbDL:
    case tkSbStream:
        entry->DlKind = kind - tkSbDL;
        break;
    case tkRbQlrep:
    case tkRbMp3:
    case tkRbNone:
        entry->SoundKind = kind - tkRbQlrep;
        break;
    case tkCbxNoPic:
        entry->NoVideo = button->isChecked();
        break;
    default:
        break;
    }
}

// The entry this panel shows, or null when its tag lies outside the list.
TRecFileData *TTagItem::Entry()
{
    TEntryList &list = FStore.List;
    const int index = Tag();
    return IsEntryInUse(list, index) ? &list.FEntries[static_cast<size_t>(index)] : nullptr;
}

void TTagItem::EditKeyDown(const QKeyEvent &event)
{
    FKeyTyped = !IsEditingKey(event.key());
}

void TTagItem::EditChange(QLineEdit *edit)
{
    if (!FKeyTyped || !FOptions.AutoComplete())
        return;
    const QString typed = edit->text();
    const int found = FStore.InputHistory.FindPrefixNoCase(typed);
    if (found < 0)
        return;
    const int typedLength = static_cast<int>(typed.size());
    // Replacing the text comes back here through the change signal; that
    // nested round finds the same entry and changes nothing more.
    edit->setText(FStore.InputHistory.At(found));
    edit->setSelection(typedLength, static_cast<int>(edit->text().size()) - typedLength);
}

void TTagItem::Edt_standbyChange()
{
    {
        // The copy must not complete the save name on its own.
        const QSignalBlocker detached(edt_dltitle);
        edt_dltitle->setText(edt_standby->text());
    }
    EditChange(edt_standby);
}

} // namespace kpx
