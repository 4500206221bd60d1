#include "settings/WindowSettings.h"

#include <optional>

#include <QWidget>

#include "components/MessageDialogs.h"
#include "settings/SaveProp.h"
#include "settings/file/SettingsError.h"

namespace kpx {

namespace {

// The failure's own text, or nothing when the operation worked.
template <typename Operation>
std::optional<QString> Failure(Operation &&operation)
{
    try {
        operation();
    } catch (const TSettingsError &error) {
        return error.Message();
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
    return std::nullopt;
}

} // namespace

void LoadWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    if (const auto failure = Failure([&props] { props.Load(); }))
        ShowError(window, *failure);
}

void SaveWindowSettings(TCustomSaveProps &props, QWidget *window)
{
    // At program end several windows save one after another, often failing
    // for the same reason: each box names its window, so the user learns
    // whose settings were not kept.
    if (const auto failure = Failure([&props] { props.Save(); }))
        ShowError(window,
                  QStringLiteral(u"「%1」ウィンドウの内容を保存できませんでした。\r\n%2").arg(window->windowTitle(), *failure));
}

} // namespace kpx
