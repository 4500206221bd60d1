// The settings dialog's options as the windows and the run read them. May touch: nothing (interface).
#pragma once

#include <QString>

namespace kpx {

// The options of the settings dialog as the other windows read them, at the
// moment they need a value. The dialog implements it; tests fake it.
class TAppOptions
{
public:
    virtual ~TAppOptions() = default;
    virtual bool AlwaysTop() const = 0;        // "常に前面に表示"
    virtual bool LowerCase() const = 0;        // lower-case plain copy names
    virtual bool AutoComplete() const = 0;     // complete typed names from the history
    virtual int HistoryCount() const = 0;      // length of the html file name history
    virtual int OverwriteIndex() const = 0;    // "同名ファイルがあった場合", a TOverwritePolicy
    virtual QString RenamePattern() const = 0; // date pattern for Japanese file names
    virtual QString HeaderTemplate() const = 0;
    virtual QString FooterTemplate(int index) const = 0; // 0 first, 1 middle, 2 last page
};

} // namespace kpx
