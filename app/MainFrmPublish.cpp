// The main window's side of publishing: the scan behind "タグ設定", the
// settings of a run as the window reads them, and the make-pages command.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/MessageBoxPrompt.h"
#include "app/PublishProgress.h"
#include "app/RunResultBox.h"
#include "app/kpx_main.h"
#include "components/MessageDialogs.h"
#include "components/UpDown.h"
#include "pages/EarlierCopies.h"
#include "settings/file/RunSettings.h"
#include "settings/kpx_cfg.h"
#include "tags/kpx_tags.h"
#include "text/Cp932.h"

namespace kpx {

bool Tkpx_MainFrm::ScanSourceFolder(const QString &folder, TDelayedProgress *progress)
{
    const TScanOptions options = PublishSettings().Scan;
    TEntryList &list = FStore.List;
    TScanProgress listed;
    if (progress)
        listed = [progress](std::size_t seen) {
            progress->Update(QStringLiteral("%1 個のファイルを調べました").arg(seen), seen, 0);
            return !progress->Cancelled();
        };
    std::vector<TLeftOutEntry> leftOut;
    const bool complete =
        ScanPublication(QStringToCp932Lossy(folder), QStringToCp932Lossy(edt_htmlDir->text()),
                        QStringToCp932Lossy(edt_ezmovie->text()), options, list.FEntries, listed, &leftOut);
    if (complete || (progress && progress->Cancelled()))
        UseAllEntries(list);
    if (complete && !leftOut.empty())
        ShowWarning(this, Cp932ToQString(LeftOutMessage(leftOut)));
    return complete;
}

TPublishSettings Tkpx_MainFrm::PublishSettings() const
{
    TPublishSettings settings;
    settings.SourceDir = QStringToCp932Lossy(edt_org_mov->text());
    settings.HtmlDir = QStringToCp932Lossy(edt_htmlDir->text());
    settings.MovieDir = QStringToCp932Lossy(edt_ezmovie->text());
    settings.HtmlFileName = QStringToCp932Lossy(htmlname_history->currentText());
    settings.PageItemCount = ud_PageItemCnt->value();
    settings.Scan.Date = LocalToday();
    if (FCfgFrm)
        ReadRunOptions(*FCfgFrm, settings);
    return settings;
}

TPublishJob Tkpx_MainFrm::PublishJob() const
{
    return MakePublishJob(PublishSettings(), FTagsFrm ? FTagsFrm->PageNames() : std::vector<std::string>());
}

bool Tkpx_MainFrm::MakeHtmlFiles()
{
    if (!FCfgFrm || !FTagsFrm)
        return false;
    // The run writes the pages under the name the box holds now, and the tabs show them.
    FTagsFrm->RenamePages(htmlname_history->currentText());
    const TPublishJob job = PublishJob();
    TMessageBoxPrompt prompt(this);
    TPublishProgress progress(this, FStore.List.FPageCount);
    FLastRun = kpx::MakeHtmlFiles(job, FStore.List, prompt, &progress);
    progress.Close();
    return FLastRun.Complete();
}

// Every run that began says what it did; a refused one has said why already.
// A run that wrote pages offers the way on to them.
void Tkpx_MainFrm::ShowClosingWords()
{
    if (FLastRun.End == TRunEnd::Refused)
        return;
    const TClosingWords words = ClosingWords(FLastRun);
    ShowRunResult(this, words.Warning ? TMsgKind::Warning : TMsgKind::Information, Cp932ToQString(words.Text),
                  FLastRun.Pages.Written > 0 ? PublishedPlaces(PublishJob()) : TPublishedPlaces());
    if (const std::string unreadable = UnreadableWarning(FLastRun); !unreadable.empty())
        ShowWarning(this, Cp932ToQString(unreadable));
}

// The page settings window's preview shows pages from the fields and the
// templates as they read now; it hears of every change while the window lives.
void Tkpx_MainFrm::FollowPublishJob()
{
    Tkpx_TagsFrm *tags = FTagsFrm;
    tags->SetPublishJobSource([this] { return PublishJob(); });
    for (QLineEdit *folder : {edt_htmlDir, edt_ezmovie})
        connect(folder, &QLineEdit::textChanged, tags, &Tkpx_TagsFrm::PublishJobChanged);
    connect(htmlname_history, &QComboBox::editTextChanged, tags, &Tkpx_TagsFrm::PublishJobChanged);
    connect(FCfgFrm, &Tkpx_cfgFrm::TemplatesChanged, tags, &Tkpx_TagsFrm::PublishJobChanged);
}

void Tkpx_MainFrm::bbtn_makehtmlClick()
{
    struct Check
    {
        QString text;
        const char16_t *warning;
        QWidget *focus;
    };
    const Check checks[] = {
        {edt_org_mov->text(), u"元ezmovieディレクトリを選択してください。", bbtn_org_mov},
        {htmlname_history->currentText(), u"htmlファイル名を入力してください。", htmlname_history},
        {edt_htmlDir->text(), u"htmlディレクトリを選択してください。", bbtn_diropenhtml},
        {edt_ezmovie->text(), u"ezmovieディレクトリを選択してください。", bbtn_diropenmovie},
    };
    for (const Check &check : checks) {
        if (check.text.isEmpty()) {
            ShowWarning(this, QString::fromUtf16(check.warning));
            check.focus->setFocus();
            return;
        }
    }
    MakeHtmlFiles();
    ShowClosingWords();
}

} // namespace kpx
