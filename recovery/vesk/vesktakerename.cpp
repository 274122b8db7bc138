#include "vesktakerename.h"

#include <QFile>
#include <QtDebug>

QString VeskTakeRename::target(const QString& path, bool video, bool repaired)
{
    QString renamed = path;
    if (video)
        renamed.replace(QLatin1String(".vlv"), repaired ? QLatin1String(".mov") : QLatin1String(".nrv"));
    else
        renamed.replace(QLatin1String(".vla"), repaired ? QLatin1String(".wav") : QLatin1String(".nra"));
    return renamed;
}

QString VeskTakeRename::rename(const QString& path, const QString& target)
{
    if (QFile::rename(path, target))
        return target;
    qDebug() << "Failed to rename file: " << path << " -> " << target;
    return path;
}
