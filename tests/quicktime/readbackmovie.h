#ifndef READBACKMOVIE_H
#define READBACKMOVIE_H

#include "variant.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

QTLIB_BEGIN_NAMESPACE

class QuickTimeAtom;

// The atoms of one FourCC under `root` (itself included), in file order.
QList<QuickTimeAtom*> atomsOfType(QuickTimeAtom* root, quint32 type);
QList<const QuickTimeAtom*> atomsOfType(const QuickTimeAtom* root, quint32 type);
// The atom reached from `atom` through children of the given types
// ("mdia/minf/stbl"); null when a step is missing.
QuickTimeAtom* atomAt(QuickTimeAtom* atom, const QString& path);

// What a repair left in a recording, read back from the file with the atom
// library's reader: the movie data header, the movie atom where the media it
// covers ends, and the blocks on either side of that atom. Built against
// either variant.
class ReadBackMovie
{
public:
    static constexpr qint64 movieDataHeaderOffset = 5472240;
    // The header a recorder leaves: u32 1, 'mdat', u64 16.
    static const QByteArray openHeader;

    explicit ReadBackMovie(const QString& path);
    ~ReadBackMovie();

    QByteArray movieDataHeader;
    bool headerIsOpen() const { return movieDataHeader == openHeader; }
    // The 64-bit size the header gives (16 while open).
    quint64 movieDataSize() const;

    // The movie atom; null when the header is open or no movie parses there.
    std::unique_ptr<QuickTimeAtom> tree;
    qint64 movieStart = -1;
    qint64 movieEnd = -1;
    // The 512 bytes before the movie atom and the 512 after it (fewer at the
    // end of the file).
    QByteArray blockBefore;
    QByteArray blockAfter;

    QList<QuickTimeAtom*> atomsOfType(const char (&type)[5]) const;
    // The line a repair prints once it wrote this movie.
    QString positionLine() const;
    // One line per track, as tracklines.h spells them ("incomplete track"
    // for one without its media header, handler or sample tables).
    QStringList trackLines() const;
};

QTLIB_END_NAMESPACE

#endif
