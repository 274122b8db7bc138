#include "takerename.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace TakeRename {

QString rename(const QString& path, const QString& target, QString* problem)
{
    QFile take(path);
    if (take.rename(target))
        return target;
    qDebug() << "Failed to rename file: " << path << " -> " << target;
    if (problem) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (QFileInfo::exists(target))
            *problem = QCoreApplication::translate("TakeRename", "a file named %1 is in the way")
                           .arg(QFileInfo(target).fileName());
        else if (!QFileInfo::exists(path))
            *problem = QCoreApplication::translate("TakeRename", "it was moved or deleted meanwhile");
        else if (!folder.isWritable())
            *problem = QCoreApplication::translate("TakeRename", "no permission to rename files in its folder");
        else
            *problem = take.errorString();
    }
    return path;
}

} // namespace TakeRename
