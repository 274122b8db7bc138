#include "takerename.h"

#include <QFile>
#include <QtDebug>

namespace TakeRename {

QString rename(const QString& path, const QString& target)
{
    if (QFile::rename(path, target))
        return target;
    qDebug() << "Failed to rename file: " << path << " -> " << target;
    return path;
}

} // namespace TakeRename
