#include "settings/WindowSettings.h"

#include "components/MessageDialogs.h"
#include "settings/SaveProp.h"
#include "settings/SettingsError.h"

namespace kpx {

namespace {

// Several windows save at program end, each into the same file: when one save
// fails the others fail for the same reason, and one box tells it all. A save
// that works again clears the mark.
bool SaveFailureShown = false;

template <typename Operation>
bool Guarded(QWidget *window, Operation &&operation, bool show = true)
{
    try {
        operation();
        return true;
    } catch (const SettingsError &error) {
        if (show)
            ShowError(window, error.Message());
    } catch (const std::exception &error) {
        if (show)
            ShowError(window, QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace

void LoadWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    Guarded(window, [&props] { props.Load(); });
}

void SaveWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    const bool saved = Guarded(window, [&props] { props.Save(); }, !SaveFailureShown);
    SaveFailureShown = !saved;
}

} // namespace kpx
