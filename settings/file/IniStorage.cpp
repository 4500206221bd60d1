#include "settings/file/IniStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "settings/file/SettingsError.h"

namespace kpx {

namespace {

TSettingsError CannotRead(const QString &path, const QString &reason)
{
    return TSettingsError(
        QStringLiteral(u"設定ファイル %1 を読み込めません: %2").arg(QDir::toNativeSeparators(path), reason));
}

TSettingsError CannotSave(const QString &path, const QString &reason)
{
    return TSettingsError(
        QStringLiteral(u"設定ファイル %1 を保存できません: %2").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

std::optional<std::string> TIniFileStorage::Read(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw CannotRead(path, file.errorString());
    // One byte past the limit tells an oversized file from one exactly at it,
    // also for files whose size the system does not report.
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw CannotRead(path, file.errorString());
    if (bytes.size() > MaxFileBytes)
        throw CannotRead(path, QStringLiteral(u"%1 バイトを超える大きさです").arg(MaxFileBytes));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void TIniFileStorage::Replace(const QString &path, std::string_view bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw CannotSave(
            path, QStringLiteral(u"フォルダ %1 を作れません").arg(QDir::toNativeSeparators(info.absolutePath())));
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target only on commit; dropping it uncommitted removes the temporary.
    QSaveFile file(path);
    // Unbuffered: a buffered write that the disk cuts short fails only inside
    // commit(), which then renames the truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw CannotSave(path, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    const qint64 written = file.write(bytes.data(), size);
    if (written != size) {
        // A short write is not an error to QSaveFile: it would commit the
        // truncated file. Only the count tells.
        file.cancelWriting();
        throw CannotSave(
            path,
            QStringLiteral(u"書き込みが途中で終わりました (%1 / %2 バイト)").arg(qMax<qint64>(written, 0)).arg(size));
    }
    if (!file.commit())
        throw CannotSave(path, file.errorString());
}

QString SettingsPathFor(const QString &executablePath, bool executableFolderWritable, const QString &configFolder)
{
    const QFileInfo executable(executablePath);
    const QString fileName = executable.completeBaseName() + QStringLiteral(".ini");
    // An installed program never writes beside itself, even run by root,
    // who may write anywhere.
    const bool installed = executable.absolutePath().startsWith(QLatin1String("/usr/"));
    const QString folder = executableFolderWritable && !installed ? executable.absolutePath() : configFolder;
    return QDir(folder).filePath(fileName);
}

namespace {

QString &ChosenSettingsPath()
{
    static QString path;
    return path;
}

} // namespace

void SetSettingsPath(const QString &path)
{
    ChosenSettingsPath() = path;
}

TSettingsPathOverride::TSettingsPathOverride(const QString &path) : FPrevious(ChosenSettingsPath())
{
    SetSettingsPath(path);
}

TSettingsPathOverride::~TSettingsPathOverride()
{
    SetSettingsPath(FPrevious);
}

namespace {

QString SettingsPathOf(const QString &executablePath)
{
    return SettingsPathFor(executablePath, QFileInfo(QFileInfo(executablePath).absolutePath()).isWritable(),
                           QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace

QString DefaultSettingsPath()
{
    if (!ChosenSettingsPath().isEmpty())
        return ChosenSettingsPath();
    return SettingsPathOf(QCoreApplication::applicationFilePath());
}

QString DesktopSettingsPath()
{
    return SettingsPathOf(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kpx_app")));
}

} // namespace kpx
