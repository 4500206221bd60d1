#include "settings/WindowSettings.h"

#include "components/MessageDialogs.h"
#include "settings/SaveProp.h"
#include "settings/SettingsError.h"

namespace kpx {

namespace {

template <typename Operation>
void Guarded(QWidget *window, Operation &&operation)
{
    try {
        operation();
    } catch (const SettingsError &error) {
        ShowError(window, error.Message());
    } catch (const std::exception &error) {
        ShowError(window, QString::fromUtf8(error.what()));
    }
}

} // namespace

void LoadWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    Guarded(window, [&props] { props.Load(); });
}

void SaveWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    Guarded(window, [&props] { props.Save(); });
}

} // namespace kpx
