#include "app/FolderBrowser.h"

#include <QApplication>
#include <QFileDialog>

#include "pages/PathRoutines.h"

namespace kpx {

namespace {

std::optional<QString> ShowFolderDialog(QWidget *parent, const QString &title, const QString &start)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
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

bool SelectFolder(QString &path)
{
    const std::optional<QString> chosen =
        Chooser()(QApplication::activeWindow(), QStringLiteral("フォルダを選択してください。"), WithoutTrailingDelimiter(path));
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
