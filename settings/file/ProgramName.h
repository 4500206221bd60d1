// The program's name and version. May touch: the application object's name.
#pragma once

namespace kpx {

// The program's name as the windows, kpx_publish and the desktop show it.
inline constexpr char ProgramName[] = "Kinopage Lite";

// The build's version, the project's own (CMakeLists.txt), which the packages carry too.
const char *ProgramVersion();

// Gives the running program its name and version. The name also picks the
// folder the settings file falls back to when the program's own folder cannot
// take it, so the desktop program and kpx_publish must both call this.
void NameTheProgram();

} // namespace kpx
