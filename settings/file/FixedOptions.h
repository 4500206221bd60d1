// The settings dialog's options held as plain values. May touch: nothing.
#pragma once

#include <array>

#include "settings/file/AppOptions.h"
#include "settings/file/SettingsLayout.h"

namespace kpx {

// Options held as plain values, for a program without the settings dialog:
// kpx_publish holds those the settings file stores (ReadPublishSettings),
// benchmarks and tests set their own. Starts at the defaults.
class TFixedOptions : public TAppOptions
{
public:
    bool AlwaysTopValue = ini::AlwaysTop::Checked.Default;
    bool LowerCaseValue = ini::LowerCase::Checked.Default;
    bool AutoCompleteValue = ini::AutoComplete::Checked.Default;
    int HistoryCountValue = ini::FilenameHistory::Count.Default;
    int OverwriteIndexValue = ini::OverWrite::Index.Default;
    QString RenamePatternValue = QLatin1String(ini::ReName::Format.Default);
    QString HeaderValue;
    std::array<QString, 3> FooterValues;

    bool AlwaysTop() const override { return AlwaysTopValue; }
    bool LowerCase() const override { return LowerCaseValue; }
    bool AutoComplete() const override { return AutoCompleteValue; }
    int HistoryCount() const override { return HistoryCountValue; }
    int OverwriteIndex() const override { return OverwriteIndexValue; }
    QString RenamePattern() const override { return RenamePatternValue; }
    QString HeaderTemplate() const override { return HeaderValue; }
    QString FooterTemplate(int index) const override
    {
        return index >= 0 && index < 3 ? FooterValues[static_cast<size_t>(index)] : QString();
    }
};

} // namespace kpx
