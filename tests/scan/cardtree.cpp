#include "cardtree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

CardTree::CardTree() = default;

QString CardTree::root() const
{
    // The scanner reports real paths; the temporary folder may sit behind a link.
    return QFileInfo(dir.path()).canonicalFilePath();
}

QString CardTree::path(const QString& relative) const
{
    return relative.isEmpty() ? root() : root() + QLatin1Char('/') + relative;
}

bool CardTree::addFolder(const QString& relative)
{
    return QDir().mkpath(path(relative));
}

bool CardTree::addFile(const QString& relative, const QByteArray& bytes)
{
    const QString filePath = path(relative);
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool CardTree::addLink(const QString& relative, const QString& targetRelative)
{
    return QFile::link(path(targetRelative), path(relative));
}

QMap<QString, QByteArray> CardTree::snapshot() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString filePath = it.next();
        const QFileInfo entry = it.fileInfo();
        QByteArray contents;
        if (entry.isSymLink()) {
            contents = "<link to " + QFile::encodeName(entry.symLinkTarget()) + '>';
        } else if (entry.isDir()) {
            contents = "<folder>";
        } else if (!entry.isFile()) {
            // A pipe or a device: opening it could block.
            contents = "<special>";
        } else {
            QFile file(filePath);
            contents = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
        }
        files.insert(QDir(root()).relativeFilePath(filePath), contents);
    }
    return files;
}

QByteArray CardTree::recordingHead(quint32 firstAtomSize)
{
    QByteArray head(512, '\0');
    qToBigEndian(firstAtomSize, head.data());
    return head;
}
