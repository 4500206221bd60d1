// The settings dialog. May touch: widgets, the settings file (at program start and end).
#pragma once

#include <QDialog>

#include "settings/file/AppOptions.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace kpx {

class TIniSaveProps;
class TLightLabel;
class TRadioGroup;
class TTemplateBox;
class TUpDown;

// The settings dialog: the program's options, the page templates and the
// About tab. It lives for the whole run; the other windows read its options
// through TAppOptions at the moment they need them, and it stores them at
// program end.
class Tkpx_cfgFrm : public QDialog, public TAppOptions
{
    Q_OBJECT

public:
    // mainWindow is made topmost by the always-on-top option; the entries of
    // htmlNameHistory are cut when the history length is lowered. Either may
    // be null while the main window does not exist.
    Tkpx_cfgFrm(QWidget *mainWindow, QComboBox *htmlNameHistory, QWidget *parent = nullptr);
    ~Tkpx_cfgFrm() override;

    bool AlwaysTop() const override;
    bool LowerCase() const override;
    bool AutoComplete() const override;
    int HistoryCount() const override;
    int OverwriteIndex() const override;
    QString RenamePattern() const override;
    QString HeaderTemplate() const override;
    QString FooterTemplate(int index) const override;

    void setVisible(bool visible) override;

    // Restore the default templates (also called by the main window when it
    // finds the templates blank).
    void sb_def_headerClick();
    void sb_def_footerClick();

signals:
    // The text of the header or a footer changed, as typed or restored.
    void TemplatesChanged();

private:
    void CreateControls();
    QWidget *CreateGeneralTab();
    QWidget *CreateHeaderTab();
    QWidget *CreateFooterTab();
    QWidget *CreateAboutTab();
    void DeclareSettings();

    void FormCreate();
    void FormDestroy();
    void FollowAlwaysTop();
    void cbx_AlwaysTopClick();
    void ud_HisCountClick();
    void SpeedButton1Click();
    void IniSaveProps1FindStrValue(const QString &section, const QString &key, const QString &value);
    void IniSaveProps1AfterSave();
    void SaveEditLines(const TTemplateBox *box);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget *const FMainWindow;
    QComboBox *const FHtmlNameHistory;

    QTabWidget *pgc_cfg = nullptr;
    QWidget *ts_general = nullptr;
    QWidget *ts_header = nullptr;
    QWidget *ts_footer = nullptr;
    QWidget *ts_about = nullptr;
    QCheckBox *cbx_AlwaysTop = nullptr;
    QCheckBox *cbx_LowerCase = nullptr;
    QCheckBox *cbx_AutoComplete = nullptr;
    TUpDown *ud_HisCount = nullptr;
    TRadioGroup *rg_overwrite = nullptr;
    int FExtraWidth = 0; // beyond the dialog's own size, for the widest overwrite choice
    QLineEdit *edt_format = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    TTemplateBox *html_header = nullptr;
    QPushButton *sb_def_header = nullptr;
    TTemplateBox *html_footer1 = nullptr;
    TTemplateBox *html_footer2 = nullptr;
    TTemplateBox *html_footer3 = nullptr;
    QPushButton *sb_def_footer = nullptr;
    TLightLabel *lbl_home = nullptr;
    TLightLabel *lbl_mail = nullptr;
    QPushButton *bbtn_close = nullptr;
    TIniSaveProps *IniSaveProps1 = nullptr;
    QStringList FNoLineBreakAtEnd; // template sections read back whose text ends without a break
};

} // namespace kpx
