// Where the settings file lives and how it is read and replaced. May touch: the settings file and its folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace kpx {

// Where a settings document comes from and goes back to. The persistence
// component holds one of these, so a test can count or break file access
// without touching anything global.
class TIniStorage
{
public:
    virtual ~TIniStorage() = default;
    // The whole file; nullopt when there is none. Throws TSettingsError when
    // the file exists but cannot (or must not) be read.
    virtual std::optional<std::string> Read(const QString &path) = 0;
    // Replaces the whole file. Throws TSettingsError on failure, and then the
    // file is as it was before: never truncated, never half written.
    virtual void Replace(const QString &path, std::string_view bytes) = 0;
};

class TIniFileStorage final : public TIniStorage
{
public:
    // Our settings are a few KiB; a file this large is not one of ours, and
    // refusing it also keeps it from being overwritten by a save.
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    std::optional<std::string> Read(const QString &path) override;
    void Replace(const QString &path, std::string_view bytes) override;
};

// The settings file beside the executable, named after it with ".ini"; when
// that folder cannot be written, or the program is installed under /usr, the
// same name under configFolder instead.
QString SettingsPathFor(const QString &executablePath, bool executableFolderWritable, const QString &configFolder);
// The program's settings file: the one named by SetSettingsPath, else
// SettingsPathFor for the running program.
QString DefaultSettingsPath();
// The desktop program's settings file as a companion program in the same
// folder finds it: SettingsPathFor as if the running program were kpx_app.
QString DesktopSettingsPath();

// Names another settings file for the whole program (a command line's choice,
// a test's temporary file); an empty path goes back to the default.
void SetSettingsPath(const QString &path);

// For tests: names the settings file while it lives, then restores the previous one.
class TSettingsPathOverride
{
public:
    explicit TSettingsPathOverride(const QString &path);
    ~TSettingsPathOverride();
    TSettingsPathOverride(const TSettingsPathOverride &) = delete;
    TSettingsPathOverride &operator=(const TSettingsPathOverride &) = delete;

private:
    QString FPrevious;
};

} // namespace kpx
