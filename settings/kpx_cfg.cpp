#include "settings/kpx_cfg.h"

#include <iterator>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "components/AppIcon.h"
#include "components/ControlNames.h"
#include "components/DesktopWindow.h"
#include "components/EnterAsTab.h"
#include "components/Glyphs.h"
#include "components/LtLabel.h"
#include "components/PageTextValidator.h"
#include "components/StayOnTop.h"
#include "components/UpDown.h"
#include "components/WindowFont.h"
#include "components/WindowFrame.h"
#include "pages/RenamePattern.h"
#include "settings/RadioGroup.h"
#include "settings/SaveProp.h"
#include "settings/TemplateBox.h"
#include "settings/WindowSettings.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/ProgramName.h"
#include "settings/file/SettingsLayout.h"

namespace kpx {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel *AddLabel(QWidget *parent, const QString &caption, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->move(left, top);
    return label;
}

QPushButton *AddButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

TTemplateBox *AddTemplateBox(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *box = new TTemplateBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    return box;
}

TLightLabel *AddLink(QWidget *parent, const char *name, TJumpType type, const QString &prefix, const QString &target,
                     int top)
{
    auto *link = new TLightLabel(parent);
    link->setObjectName(QLatin1String(name));
    link->setText(prefix + target);
    link->SetJumpType(type);
    link->SetJumpTo(target);
    link->setCursor(Qt::PointingHandCursor);
    link->move(64, top);
    link->adjustSize();
    return link;
}

} // namespace

Tkpx_cfgFrm::Tkpx_cfgFrm(QWidget *mainWindow, QComboBox *htmlNameHistory, QWidget *parent)
    : QDialog(parent), FMainWindow(mainWindow), FHtmlNameHistory(htmlNameHistory)
{
    setObjectName(QStringLiteral("kpx_cfgFrm"));
    setWindowTitle(QStringLiteral("設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    ApplyWindowFont(this);
    CreateControls();
    for (const TTemplateBox *box : {html_header, html_footer1, html_footer2, html_footer3})
        connect(box, &QPlainTextEdit::textChanged, this, &Tkpx_cfgFrm::TemplatesChanged);
    setFixedSize(396 + FExtraWidth, 296);
    new TEnterAsTab(this);
    PrepareWindow(this);
    DeclareSettings();
    FormCreate();
}

Tkpx_cfgFrm::~Tkpx_cfgFrm()
{
    FormDestroy();
}

void Tkpx_cfgFrm::CreateControls()
{
    pgc_cfg = new QTabWidget(this);
    pgc_cfg->setObjectName(QStringLiteral("pgc_cfg"));
    pgc_cfg->setAccessibleName(windowTitle());
    ts_general = CreateGeneralTab();
    pgc_cfg->setGeometry(4, 4, 388 + FExtraWidth, 248);
    ts_header = CreateHeaderTab();
    ts_footer = CreateFooterTab();
    ts_about = CreateAboutTab();
    pgc_cfg->addTab(ts_general, QStringLiteral("一般"));
    pgc_cfg->addTab(ts_header, QStringLiteral("ヘッダ"));
    pgc_cfg->addTab(ts_footer, QStringLiteral("フッタ"));
    pgc_cfg->addTab(ts_about, QStringLiteral("このソフトについて"));

    bbtn_close = AddButton(this, "bbtn_close", QStringLiteral("閉じる"), QRect(313 + FExtraWidth, 262, 75, 25));
    bbtn_close->setIcon(GlyphIcon(TGlyph::Close));
    bbtn_close->setAutoDefault(false);
    connect(bbtn_close, &QPushButton::clicked, this, &QDialog::close);
}

QWidget *Tkpx_cfgFrm::CreateGeneralTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("ts_general"));

    cbx_AlwaysTop = new QCheckBox(QStringLiteral("常に前面に表示"), tab);
    cbx_AlwaysTop->setObjectName(QStringLiteral("cbx_AlwaysTop"));
    cbx_AlwaysTop->move(12, 10);
    connect(cbx_AlwaysTop, &QCheckBox::clicked, this, &Tkpx_cfgFrm::cbx_AlwaysTopClick);

    cbx_LowerCase = new QCheckBox(QStringLiteral("元ファイル名の半角英数文字を"), tab);
    cbx_LowerCase->setObjectName(QStringLiteral("cbx_LowerCase"));
    cbx_LowerCase->setChecked(true);
    cbx_LowerCase->move(12, 34);
    const QLabel *lowerCaseRest = AddLabel(tab, QStringLiteral("小文字に変換"), 32, 54);
    // The option reads on in the label below its box: it is spoken whole.
    cbx_LowerCase->setAccessibleName(cbx_LowerCase->text() + lowerCaseRest->text());

    cbx_AutoComplete = new QCheckBox(QStringLiteral("入力項目のオートコンプリートを"), tab);
    cbx_AutoComplete->setObjectName(QStringLiteral("cbx_AutoComplete"));
    cbx_AutoComplete->setChecked(true);
    cbx_AutoComplete->move(12, 74);
    const QLabel *autoCompleteRest = AddLabel(tab, QStringLiteral("有効にする"), 32, 94);
    cbx_AutoComplete->setAccessibleName(cbx_AutoComplete->text() + autoCompleteRest->text());

    QLabel *hisCountLabel = AddLabel(tab, QStringLiteral("入力項目の履歴数"), 12, 120);
    ud_HisCount = new TUpDown(QStringLiteral("ud_HisCount"), QStringLiteral("edt_HisCount"), tab);
    NameByLabel(hisCountLabel, ud_HisCount);
    ud_HisCount->setRange(ini::FilenameHistory::Count.Min, ini::FilenameHistory::Count.Max);
    ud_HisCount->setValue(ini::FilenameHistory::Count.Default);
    ud_HisCount->setGeometry(112, 116, 50, 20);
    ud_HisCount->setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(ud_HisCount, &TUpDown::arrowClicked, this, &Tkpx_cfgFrm::ud_HisCountClick);

    rg_overwrite = new TRadioGroup(QStringLiteral("同名ファイルがあった場合"), tab);
    rg_overwrite->setObjectName(QStringLiteral("rg_overwrite"));
    // One button per overwrite policy, at the policy's index.
    const QString choices[] = {QStringLiteral("上書き確認する"), QStringLiteral("確認せずに上書き"),
                               QStringLiteral("スキップする"), QStringLiteral("警告後、実行しない"),
                               QStringLiteral("更新されたファイルのみ上書きする")};
    static_assert(std::size(choices) == ini::OverWrite::Index.Max - ini::OverWrite::Index.Min + 1);
    rg_overwrite->SetItems(QStringList(std::begin(choices), std::end(choices)));
    rg_overwrite->SetItemIndex(ini::OverWrite::Index.Default);
    rg_overwrite->SetItemToolTip(static_cast<int>(rg_overwrite->Items().size()) - 1,
                                 QStringLiteral("大きさか更新日時の違う動画と、内容の違うページだけを書き換えます。"));
    // The last choice is wider than the room the dialog's own size leaves
    // beside the check boxes: the group takes what its choices need, and the
    // dialog grows by as much (not at all where the font lets them fit).
    const QSize needed = rg_overwrite->sizeHint();
    rg_overwrite->setGeometry(206, 6, std::max(170, needed.width()), std::max(124, needed.height()));
    FExtraWidth = rg_overwrite->width() - 170;

    auto *renameGroup = new QGroupBox(QStringLiteral("日本語ファイル名の変換形式"), tab);
    renameGroup->setGeometry(8, rg_overwrite->y() + rg_overwrite->height() + 16, 368 + FExtraWidth, 60);
    edt_format = new QLineEdit(FromUtf8(DefaultRenamePattern), renameGroup);
    edt_format->setObjectName(QStringLiteral("edt_format"));
    edt_format->setGeometry(10, 24, 150, 20);
    edt_format->setAttribute(Qt::WA_InputMethodEnabled, false);
    edt_format->installEventFilter(this);
    RestrictToPageText(edt_format);
    AddLabel(renameGroup, QStringLiteral("＋連番"), 166, 27);
    SpeedButton1 = AddButton(renameGroup, "SpeedButton1", QStringLiteral("初期状態に戻す"), QRect(250, 22, 106, 24));
    connect(SpeedButton1, &QPushButton::clicked, this, &Tkpx_cfgFrm::SpeedButton1Click);
    return tab;
}

QWidget *Tkpx_cfgFrm::CreateHeaderTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("ts_header"));
    html_header = AddTemplateBox(tab, "html_header", QRect(8, 8, 359, 177));
    html_header->setAccessibleName(QStringLiteral("ヘッダ"));
    AddLabel(tab, QStringLiteral("※「 %i 」にはページ番号が入ります"), 8, 196);
    sb_def_header = AddButton(tab, "sb_def_header", QStringLiteral("初期状態に戻す"), QRect(261, 191, 106, 24));
    connect(sb_def_header, &QPushButton::clicked, this, &Tkpx_cfgFrm::sb_def_headerClick);
    return tab;
}

QWidget *Tkpx_cfgFrm::CreateFooterTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("ts_footer"));
    QLabel *firstLabel = AddLabel(tab, QStringLiteral("最初のページ"), 8, 4);
    html_footer1 = AddTemplateBox(tab, "html_footer1", QRect(8, 18, 359, 40));
    NameByLabel(firstLabel, html_footer1);
    QLabel *middleLabel = AddLabel(tab, QStringLiteral("中間のページ"), 8, 62);
    html_footer2 = AddTemplateBox(tab, "html_footer2", QRect(8, 76, 359, 40));
    NameByLabel(middleLabel, html_footer2);
    QLabel *lastLabel = AddLabel(tab, QStringLiteral("最後のページ"), 8, 120);
    html_footer3 = AddTemplateBox(tab, "html_footer3", QRect(8, 134, 359, 40));
    NameByLabel(lastLabel, html_footer3);
    AddLabel(tab, QStringLiteral("※「 %p 」には前ページファイル名が、"), 8, 182);
    AddLabel(tab, QStringLiteral("　「 %n 」には次ページファイル名が入ります"), 8, 198);
    sb_def_footer = AddButton(tab, "sb_def_footer", QStringLiteral("初期状態に戻す"), QRect(261, 184, 106, 24));
    connect(sb_def_footer, &QPushButton::clicked, this, &Tkpx_cfgFrm::sb_def_footerClick);
    return tab;
}

QWidget *Tkpx_cfgFrm::CreateAboutTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("ts_about"));
    auto *icon = new QLabel(tab);
    icon->setPixmap(AppIconPixmap(32));
    icon->setGeometry(16, 16, 32, 32);
    AddLabel(tab, QString::fromUtf8(ProgramName), 64, 16);
    AddLabel(tab, QStringLiteral("Version ") + QString::fromUtf8(ProgramVersion()), 64, 36);
    AddLabel(tab, QStringLiteral("作者: Kinopage Lite 開発チーム"), 64, 56);
    lbl_home = AddLink(tab, "lbl_home", jtHome, QStringLiteral("url: "), QStringLiteral("https://kinopage.example.jp/"), 88);
    lbl_mail = AddLink(tab, "lbl_mail", jtMail, QStringLiteral("mailto: "), QStringLiteral("support@kinopage.example.jp"),
                       108);
    return tab;
}

void Tkpx_cfgFrm::DeclareSettings()
{
    IniSaveProps1 = new TIniSaveProps(this);
    IniSaveProps1->setObjectName(QStringLiteral("IniSaveProps1"));
    IniSaveProps1->SetAutoLoad(false);
    IniSaveProps1->SetAutoSave(false);
    TProps &props = IniSaveProps1->Props();
    const QString checked = QLatin1String(ini::AlwaysTop::Checked.Name);
    props.Add(cbx_AlwaysTop, QStringLiteral("Checked"), QLatin1String(ini::AlwaysTop::Section), checked);
    props.Add(cbx_LowerCase, QStringLiteral("Checked"), QLatin1String(ini::LowerCase::Section), checked);
    props.Add(cbx_AutoComplete, QStringLiteral("Checked"), QLatin1String(ini::AutoComplete::Section), checked);
    props.Add(ud_HisCount, QStringLiteral("Position"), QLatin1String(ini::FilenameHistory::Section),
              QLatin1String(ini::FilenameHistory::Count.Name));
    props.Add(rg_overwrite, QStringLiteral("ItemIndex"), QLatin1String(ini::OverWrite::Section),
              QLatin1String(ini::OverWrite::Index.Name));
    props.Add(edt_format, QStringLiteral("Text"), QLatin1String(ini::ReName::Section),
              QLatin1String(ini::ReName::Format.Name));
    QStringList sections;
    for (const ini::TListSection &section : ini::Templates)
        sections << QLatin1String(section.Section);
    IniSaveProps1->SetFindKeys(sections);
    IniSaveProps1->OnFindStrValue = [this](TCustomSaveProps *, const QString &section, const QString &key,
                                           const QString &value, bool &) {
        IniSaveProps1FindStrValue(section, key, value);
    };
    IniSaveProps1->OnAfterLoad = [this](TCustomSaveProps *) {
        // A stored -1 leaves no choice shown while the first applies; show
        // (and so store) the one that applies.
        if (rg_overwrite->ItemIndex() < 0)
            rg_overwrite->SetItemIndex(ini::OverWrite::Index.Default);
        // Each line came back with a break after it; the last one keeps its
        // break only if the text had one, so pages stay the same from session to session.
        for (const QString &section : std::exchange(FNoLineBreakAtEnd, {}))
            if (auto *box = findChild<TTemplateBox *>(section))
                box->DropFinalLineBreak();
        cbx_AlwaysTopClick();
    };
    IniSaveProps1->OnAfterSave = [this](TCustomSaveProps *) { IniSaveProps1AfterSave(); };
}

void Tkpx_cfgFrm::FormCreate()
{
    LoadWindowSettings(*IniSaveProps1, this);
}

void Tkpx_cfgFrm::FormDestroy()
{
    SaveWindowSettings(*IniSaveProps1, this);
}

void Tkpx_cfgFrm::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        pgc_cfg->setCurrentWidget(ts_general);
        FollowAlwaysTop();
        // Centred each time it opens, on the main window's screen: the
        // always-on-top change above would otherwise leave it at the corner.
        const QRect area = AvailableArea(FMainWindow ? FMainWindow : this);
        const QMargins frame = FrameMargins(this);
        QRect placed(QPoint(), size());
        placed.moveCenter(area.center() + QPoint((frame.left() - frame.right()) / 2, (frame.top() - frame.bottom()) / 2));
        setGeometry(placed);
    }
    QDialog::setVisible(visible);
}

void Tkpx_cfgFrm::FollowAlwaysTop()
{
    // The dialog becomes topmost with the option but never gives it up.
    if (AlwaysTop())
        SetStayOnTop(this, true);
}

void Tkpx_cfgFrm::cbx_AlwaysTopClick()
{
    if (FMainWindow)
        SetStayOnTop(FMainWindow, AlwaysTop());
    // Ticked while the dialog is open: the main window, topmost now, must not
    // cover its modal dialog.
    if (isVisible()) {
        FollowAlwaysTop();
        raise();
    }
}

void Tkpx_cfgFrm::ud_HisCountClick()
{
    if (!FHtmlNameHistory)
        return;
    while (FHtmlNameHistory->count() > ud_HisCount->value())
        FHtmlNameHistory->removeItem(FHtmlNameHistory->count() - 1);
}

void Tkpx_cfgFrm::SpeedButton1Click()
{
    edt_format->setText(FromUtf8(DefaultRenamePattern));
}

void Tkpx_cfgFrm::sb_def_headerClick()
{
    html_header->SetText(FromUtf8(DefaultHeader));
}

void Tkpx_cfgFrm::sb_def_footerClick()
{
    html_footer1->SetText(FromUtf8(DefaultFooters[0]));
    html_footer2->SetText(FromUtf8(DefaultFooters[1]));
    html_footer3->SetText(FromUtf8(DefaultFooters[2]));
}

void Tkpx_cfgFrm::IniSaveProps1FindStrValue(const QString &section, const QString &key, const QString &value)
{
    if (key == QLatin1String(ini::TemplateLineBreakAtEnd)) {
        if (value == QLatin1String("0"))
            FNoLineBreakAtEnd << section;
        return;
    }
    for (const QString &name : IniSaveProps1->FindKeys())
        if (name == section)
            if (auto *box = findChild<TTemplateBox *>(name))
                box->AppendLine(value);
}

void Tkpx_cfgFrm::IniSaveProps1AfterSave()
{
    for (const TTemplateBox *box : {html_header, html_footer1, html_footer2, html_footer3})
        SaveEditLines(box);
}

void Tkpx_cfgFrm::SaveEditLines(const TTemplateBox *box)
{
    const ini::TListSection lines{nullptr, "Lines"};
    IniSaveProps1->ClearSection(box->objectName());
    const QStringList text = box->Lines();
    for (int i = 0; i < text.size(); ++i)
        IniSaveProps1->WriteString(box->objectName(), lines.ItemKey(i), text.at(i));
    if (!text.isEmpty())
        IniSaveProps1->WriteString(box->objectName(), QLatin1String(ini::TemplateLineBreakAtEnd),
                                   box->Text().endsWith(QLatin1Char('\n')) ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Tkpx_cfgFrm::eventFilter(QObject *watched, QEvent *event)
{
    // The rename pattern box drops the characters a file name cannot hold as
    // they are typed; pasted text is not filtered.
    if (watched == edt_format && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1 && FromUtf8(RefusedNameChars).contains(typed))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool Tkpx_cfgFrm::AlwaysTop() const
{
    return cbx_AlwaysTop->isChecked();
}

bool Tkpx_cfgFrm::LowerCase() const
{
    return cbx_LowerCase->isChecked();
}

bool Tkpx_cfgFrm::AutoComplete() const
{
    return cbx_AutoComplete->isChecked();
}

int Tkpx_cfgFrm::HistoryCount() const
{
    return ud_HisCount->value();
}

int Tkpx_cfgFrm::OverwriteIndex() const
{
    return rg_overwrite->ItemIndex();
}

QString Tkpx_cfgFrm::RenamePattern() const
{
    return edt_format->text();
}

QString Tkpx_cfgFrm::HeaderTemplate() const
{
    return html_header->Text();
}

QString Tkpx_cfgFrm::FooterTemplate(int index) const
{
    const TTemplateBox *boxes[] = {html_footer1, html_footer2, html_footer3};
    return index >= 0 && index < 3 ? boxes[index]->Text() : QString();
}

} // namespace kpx
