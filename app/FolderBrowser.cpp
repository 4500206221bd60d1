#include "app/FolderBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "components/DesktopWindow.h"
#include "components/WindowFont.h"
#include "pages/PathRoutines.h"

namespace kpx {

namespace {

std::optional<QString> ShowFolderDialog(QWidget *parent, const QString &title, const QString &start)
{
    QFileDialog dialog(parent, title);
    PrepareFolderDialog(dialog);
    dialog.setDirectory(start); // once the folder kinds are ours: the list reads them as it fills
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

TFolderChooser &Chooser()
{
    static TFolderChooser chooser = ShowFolderDialog;
    return chooser;
}

QString WithoutTrailingDelimiter(const QString &path)
{
    return path.size() > 1 && path.endsWith(QLatin1Char(PathDelim)) ? path.chopped(1) : path;
}

} // namespace

void PrepareFolderDialog(QFileDialog &dialog)
{
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own dialog (where the desktop offers none) in the program's font
    // and words; Qt's Japanese translation lacks a few of them.
    ApplyWindowFont(&dialog);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("場所:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("フォルダ名:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("種類:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("選択"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    dialog.setNameFilter(QStringLiteral("フォルダ"));

    PrepareWindow(&dialog);
}

bool SelectFolder(QString &path, const QString &otherStart)
{
    // An empty start would open the browser at the file system's root.
    const QString start = !path.isEmpty() ? path : !otherStart.isEmpty() ? otherStart : QDir::homePath();
    const std::optional<QString> chosen = Chooser()(
        QApplication::activeWindow(), QStringLiteral("フォルダを選択してください。"), WithoutTrailingDelimiter(start));
    if (!chosen)
        return false;
    path = WithoutTrailingDelimiter(*chosen);
    return true;
}

TFolderChooser SetFolderChooser(TFolderChooser chooser)
{
    TFolderChooser previous = std::move(Chooser());
    Chooser() = chooser ? std::move(chooser) : TFolderChooser(ShowFolderDialog);
    return previous;
}

} // namespace kpx
