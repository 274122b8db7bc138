#ifndef CARDTREE_H
#define CARDTREE_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A folder tree standing in for a recorder's card, removed when the test ends.
class CardTree
{
public:
    CardTree();

    bool isValid() const { return dir.isValid(); }
    QString root() const;
    QString path(const QString& relative) const;

    bool addFolder(const QString& relative);
    bool addFile(const QString& relative, const QByteArray& bytes);
    bool addLink(const QString& relative, const QString& targetRelative);

    // Every entry below the root with its bytes (folders, links and pipes by
    // their kind): compare two snapshots to prove nothing was touched.
    QMap<QString, QByteArray> snapshot() const;

    // The first bytes of a recording whose first atom has the given size.
    static QByteArray recordingHead(quint32 firstAtomSize);

private:
    QTemporaryDir dir;
};

#endif
