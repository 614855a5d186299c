// "Velmora Manual.pdf": the build renders it beside the program; "Open
// Manual" and "Help" look for it in the start directory and put a copy there
// when it is missing.
#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Where the built manual may sit, in the order they are tried: the
// program's own folder (a build) and the documentation folder docDir
// (relative to the installation prefix) beside its bin folder (an
// installation). The program passes them to the frame; tests pass none.
QStringList ManualSourceDirectories(const QString& programDir, const QString& docDir);

// Copies "Velmora Manual.pdf" from the first source folder that has it into
// startDir (folders end in a separator; an empty startDir is the working
// directory) when startDir has none. Returns true when startDir holds the
// manual afterwards.
bool InstallManual(const QStringList& sourceDirs, const QString& startDir);

} // namespace velmora
