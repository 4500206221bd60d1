// A window's settings loaded at creation and saved at destruction. May touch: the settings file, an error box.
#pragma once

class QWidget;

namespace kpx {

class TCustomSaveProps;

// A window loads its settings when it is created and saves them when it is
// destroyed. Neither may escape as an exception from a constructor or
// destructor: a failure is told to the user in an error box, and the settings
// file stays as it was. Every window's save failure gets its own box.
void LoadWindowSettings(TCustomSaveProps &props, QWidget *window);
void SaveWindowSettings(TCustomSaveProps &props, QWidget *window);

} // namespace kpx
