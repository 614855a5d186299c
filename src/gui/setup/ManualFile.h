// "Velmora Manual.pdf": the build renders it beside the program; "Open
// Manual" and "Help" look for it in the start directory and put a copy there
// when it is missing.
#pragma once

#include <QString>

namespace velmora {

// Where the built manual sits: the program's own folder for the installed
// program, empty elsewhere (tests), where nothing is copied.
QString ManualSourceDirectory();

// Copies "Velmora Manual.pdf" from sourceDir into startDir (both ending in a
// separator or empty for the working directory) when startDir has none.
// Returns true when startDir holds the manual afterwards.
bool InstallManual(const QString& sourceDir, const QString& startDir);

} // namespace velmora
