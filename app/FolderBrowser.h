// The modal folder browser behind the folder buttons. May touch: widgets (a Qt file dialog).
#pragma once

#include <functional>
#include <optional>

#include <QString>

class QFileDialog;
class QWidget;

namespace kpx {

// The modal folder browser behind the folder buttons. `path` is the folder to
// start at (a trailing delimiter is ignored), or, when it is empty,
// `otherStart`, or when that is empty too, the home folder; it receives the
// chosen folder, without a trailing delimiter. False on cancel, with `path`
// unchanged.
bool SelectFolder(QString &path, const QString &otherStart = QString());

// Makes a file dialog the program's folder browser: folders only, in the
// program's font, Japanese throughout, wholly on the screen. Before the
// dialog is given its folder.
void PrepareFolderDialog(QFileDialog &dialog);

// For tests: answers the browser instead of showing it (nullopt = cancel).
using TFolderChooser = std::function<std::optional<QString>(QWidget *parent, const QString &title, const QString &start)>;
TFolderChooser SetFolderChooser(TFolderChooser chooser);

} // namespace kpx
