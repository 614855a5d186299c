#include "setup/ManualFile.h"

#include "app/MakerInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

QString ManualSourceDirectory() {
#ifdef VELMORA_MANUAL_BESIDE_PROGRAM
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
#else
    return {};
#endif
}

bool InstallManual(const QString& sourceDir, const QString& startDir) {
    const QString name = QString::fromLatin1(maker::kManualFileName);
    const QString target = startDir + name;
    if (QFileInfo::exists(target)) return true;
    if (sourceDir.isEmpty()) return false;
    const QString source = sourceDir + name;
    if (!QFileInfo(source).isFile()) return false;
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath()) return true;
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

} // namespace velmora
