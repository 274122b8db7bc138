#ifndef REPAIREDMOVIE_H
#define REPAIREDMOVIE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace Tolvan { class QuickTimeAtom; }

// What a repair left in a recording, read back from the file: the movie data
// header, the movie atom behind the media (parsed by the atom library's
// reader) and the closing block after it.
class RepairedMovie
{
public:
    static constexpr qint64 movieDataHeaderOffset = 5472240;

    explicit RepairedMovie(const QString& path);
    ~RepairedMovie();

    // The 16 bytes of the movie data header; "open" while it reads u32 1, 'mdat', u64 16.
    QByteArray movieDataHeader;
    bool headerIsOpen() const;
    // The 64-bit size the header gives (16 while open).
    quint64 movieDataSize() const;

    // The movie atom at the end of the media the header covers; null when
    // the header is open or no movie parses there.
    std::unique_ptr<Tolvan::QuickTimeAtom> tree;
    qint64 movieStart = -1;
    qint64 movieEnd = -1;
    // The 512 bytes after the movie atom are zero.
    bool closingBlockIsZero = false;

    // The atoms of the movie of one FourCC, in file order.
    QList<Tolvan::QuickTimeAtom*> atomsOfType(const char (&type)[5]) const;

    // The debug lines the repair of `takePath` printed for this movie, from
    // "needs to be restored" to the last position line, with `notes` (the
    // lines about left-out items or an unusable recorded end) after the first.
    QStringList repairLines(const QString& takePath, const QStringList& notes = {}) const;

private:
    QString path;
};

#endif
