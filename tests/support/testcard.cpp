#include "testcard.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtEndian>

bool TestCard::add(const QString& relative, const QByteArray& bytes) const
{
    QFile file(path(relative));
    return QDir().mkpath(QFileInfo(file).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write(bytes) == bytes.size();
}

bool TestCard::addFolder(const QString& relative) const
{
    return QDir().mkpath(path(relative));
}

bool TestCard::addLink(const QString& relative, const QString& targetRelative) const
{
    return QFile::link(path(targetRelative), path(relative));
}

QMap<QString, QByteArray> TestCard::snapshot() const
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entryPath = it.next();
        const QFileInfo entry = it.fileInfo();
        QByteArray contents = "<special>"; // a pipe or a device: opening it could block
        if (entry.isSymLink())
            contents = "<link to " + QFile::encodeName(entry.symLinkTarget()) + '>';
        else if (entry.isDir())
            contents = "<folder>";
        else if (entry.isFile())
            contents = QFile(entryPath).open(QIODevice::ReadOnly) ? fileBytes(entryPath) : "<unreadable>";
        entries.insert(QDir(root).relativeFilePath(entryPath), contents);
    }
    return entries;
}

QByteArray TestCard::head(quint32 firstAtomSize)
{
    QByteArray head(512, '\0');
    qToBigEndian(firstAtomSize, head.data());
    return head;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
