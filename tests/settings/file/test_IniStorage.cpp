#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include <QDir>

#include "settings/file/IniStorage.h"
#include "settings/file/SettingsError.h"
#include "support/TestSupport.h"

using namespace kpx;
using namespace kpx::test;

namespace {

QString QPath(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

} // namespace

TEST(IniFileStorage, MissingFileReadsAsNoneAndReplaceCreatesFolderAndFile)
{
    TempDir dir;
    TIniFileStorage storage;
    const auto file = dir / "sub" / "kpx_app.ini";
    EXPECT_FALSE(storage.Read(QPath(file)).has_value());
    storage.Replace(QPath(file), "[a]\r\nk=v\r\n\r\n");
    EXPECT_EQ(storage.Read(QPath(file)), "[a]\r\nk=v\r\n\r\n");
}

TEST(IniFileStorage, RefusesOversizedFileAndFolderInPlaceOfFile)
{
    TempDir dir;
    TIniFileStorage storage;
    const auto file = dir / "kpx_app.ini";
    WriteFileBytes(file, std::string(TIniFileStorage::MaxFileBytes, 'x'));
    EXPECT_EQ(storage.Read(QPath(file))->size(), size_t(TIniFileStorage::MaxFileBytes));
    WriteFileBytes(file, std::string(TIniFileStorage::MaxFileBytes + 1, 'x'));
    try {
        storage.Read(QPath(file));
        FAIL() << "an oversized file was read";
    } catch (const TSettingsError &error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("kpx_app.ini"))) << error.what();
    }
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_THROW(storage.Read(QPath(dir / "folder.ini")), TSettingsError);
    EXPECT_THROW(storage.Replace(QPath(dir / "folder.ini"), "x"), TSettingsError);
}

TEST(IniFileStorage, WriteFailingPartWayLeavesPreviousFileIntactAndNoTemporary)
{
    TempDir dir;
    TIniFileStorage storage;
    const auto file = dir / "kpx_app.ini";
    const std::string previous = "[Dirs]\r\nhtml_dir=C:\\web\\\r\n\r\n";
    WriteFileBytes(file, previous);
    // A large file and one small enough to sit in a write buffer.
    for (const auto &[limit, size] : {std::pair<rlim_t, size_t>{4096, 64 * 1024}, {16, 1000}}) {
        const FileSizeLimit full(limit);
        EXPECT_THROW(storage.Replace(QPath(file), std::string(size, 'y')), TSettingsError) << size;
    }
    EXPECT_EQ(ReadFileBytes(file), previous);
    EXPECT_EQ(QDir(QPath(dir.path())).entryList(QDir::Files | QDir::Hidden), QStringList{"kpx_app.ini"});
}

TEST(SettingsPath, BesideTheExecutableUnlessItsFolderIsReadOnlyOrItIsInstalled)
{
    const QString config = QStringLiteral("/home/u/.config/kpx");
    EXPECT_EQ(SettingsPathFor("/opt/kpx/kpx_app", true, config), "/opt/kpx/kpx_app.ini");
    EXPECT_EQ(SettingsPathFor("/opt/kpx/kpx_app.exe", false, config), "/home/u/.config/kpx/kpx_app.ini");
    // Installed: never beside itself, even where root could write.
    EXPECT_EQ(SettingsPathFor("/usr/bin/kpx_app", true, config), "/home/u/.config/kpx/kpx_app.ini");
    EXPECT_EQ(SettingsPathFor("/usr/local/bin/kpx_app", true, config), "/home/u/.config/kpx/kpx_app.ini");
    EXPECT_EQ(SettingsPathFor("/usrx/kpx_app", true, config), "/usrx/kpx_app.ini");
    // The test program's own folder is writable.
    EXPECT_TRUE(DefaultSettingsPath().endsWith(QStringLiteral("/test_settings_file.ini")));
}
