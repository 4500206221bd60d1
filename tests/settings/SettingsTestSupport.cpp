#include "SettingsTestSupport.h"

#include "settings/file/SettingsError.h"
#include "text/Cp932.h"

namespace kpx::test {

std::optional<std::string> CountingStorage::Read(const QString &path)
{
    ++Reads;
    return FDisk.Read(path);
}

void CountingStorage::Replace(const QString &path, std::string_view bytes)
{
    ++Writes;
    if (FailingWrites > 0) {
        --FailingWrites;
        throw TSettingsError(QStringLiteral("injected write failure"));
    }
    FDisk.Replace(path, bytes);
}

SavePropTest::SavePropTest()
    : Props(AddComponent(Window))
{
}

TIniSaveProps *SavePropTest::AddComponent(QWidget &owner)
{
    auto *props = new TIniSaveProps(&owner);
    props->SetAutoLoad(false);
    props->SetAutoSave(false);
    props->SetFileName(QString::fromStdString(File.string()));
    props->SetStorage(Storage);
    return props;
}

void SavePropTest::WriteIni(std::string_view utf8) const
{
    WriteFileBytes(File, Sjis(utf8));
}

std::string SavePropTest::IniText() const
{
    return Cp932ToUtf8(ReadFileBytes(File));
}

} // namespace kpx::test
