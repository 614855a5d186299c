#include "setup/ManualFile.h"

#include "app/MakerInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

QStringList ManualSourceDirectories(const QString& programDir, const QString& docDir) {
    QStringList dirs;
    dirs << programDir + QLatin1Char('/');
    if (!docDir.isEmpty())
        dirs << QDir::cleanPath(programDir + QStringLiteral("/../") + docDir) + QLatin1Char('/');
    return dirs;
}

bool InstallManual(const QStringList& sourceDirs, const QString& startDir) {
    const QString name = QString::fromLatin1(maker::kManualFileName);
    const QString target = startDir + name;
    if (QFileInfo::exists(target)) return true;
    for (const QString& dir : sourceDirs) {
        const QString source = dir + name;
        if (!QFileInfo(source).isFile()) continue;
        // Copied under a temporary name and renamed, so that a half-copied
        // manual never stands in the start directory.
        const QString temp = target + QStringLiteral(".tmp");
        QFile::remove(temp);
        if (!QFile::copy(source, temp)) return false;
        if (!QFile::rename(temp, target)) {
            QFile::remove(temp);
            return QFileInfo::exists(target);
        }
        return true;
    }
    return false;
}

} // namespace velmora
