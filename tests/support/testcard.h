#ifndef TESTCARD_H
#define TESTCARD_H

#include <QByteArray>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A card folder of one test, named by its canonical path as the scanner
// reports it, and removed when the test ends.
struct TestCard
{
    QTemporaryDir dir;
    QString root = QFileInfo(dir.path()).canonicalFilePath();

    QString path(const QString& relative) const { return relative.isEmpty() ? root : root + '/' + relative; }
    // Folders on the way are made.
    bool add(const QString& relative, const QByteArray& bytes) const;
    bool addFolder(const QString& relative) const;
    bool addLink(const QString& relative, const QString& targetRelative) const;

    // Every entry below the root with its bytes (folders, links and pipes by
    // their kind): two snapshots prove nothing was touched.
    QMap<QString, QByteArray> snapshot() const;

    // The first 512 bytes of a recording whose first atom has this size.
    static QByteArray head(quint32 firstAtomSize);
};

// The whole file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

#endif
