// Arbitrary bytes as a settings file: reading must never fail, what is written
// back must read back the same, and a write of arbitrary names and values must
// either be refused or be read back unchanged but for line breaks in the value,
// which come back as blanks.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/file/IniDocument.h"
#include "settings/file/SettingsError.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckReadBack(const kpx::TIniDocument &document)
{
    const std::string written = document.Serialize();
    const kpx::TIniDocument reread = kpx::TIniDocument::Parse(written);
    Require(reread.Serialize() == written);
    for (const std::string &section : document.SectionNames()) {
        for (const kpx::TIniEntry &entry : document.ReadSectionValues(section)) {
            Require(reread.ValueExists(section, entry.Key));
            Require(reread.ReadString(section, entry.Key, "") == document.ReadString(section, entry.Key, ""));
            Require(reread.ReadInteger(section, entry.Key, 7) == document.ReadInteger(section, entry.Key, 7));
        }
    }
}

void CheckWrite(kpx::TIniDocument document, std::string_view input)
{
    const size_t third = input.size() / 3;
    const std::string_view section = input.substr(0, third);
    const std::string_view key = input.substr(third, third);
    const std::string_view value = input.substr(2 * third);
    try {
        document.WriteString(section, key, value);
    } catch (const kpx::TSettingsError &) {
        return;
    }
    std::string stored(value);
    std::replace(stored.begin(), stored.end(), '\r', ' ');
    std::replace(stored.begin(), stored.end(), '\n', ' ');
    const kpx::TIniDocument reread = kpx::TIniDocument::Parse(document.Serialize());
    Require(reread.ReadString(section, key, "") == stored);
    document.DeleteKey(section, key);
    Require(!document.ValueExists(section, key));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const kpx::TIniDocument document = kpx::TIniDocument::Parse(input);
    CheckReadBack(document);
    CheckWrite(document, input);
    return 0;
}
