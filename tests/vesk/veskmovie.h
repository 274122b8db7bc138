#ifndef VESKMOVIE_H
#define VESKMOVIE_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class QuickTimeAtom;

// What a repair left in a Vesk recording, read back from the file: the movie
// data header, the timecode sample block at the end of the media it covers,
// and the movie atom right behind that block, parsed by the atom library's
// reader.
class VeskMovie
{
public:
    static constexpr qint64 movieDataHeaderOffset = 5472240;
    static const QByteArray openHeader;

    explicit VeskMovie(const QString& path);
    ~VeskMovie();

    QByteArray movieDataHeader;
    bool headerIsOpen() const { return movieDataHeader == openHeader; }
    // The 64-bit size the header gives (16 while open).
    quint64 movieDataSize() const;

    // The movie atom where the header's media ends; null when the header is
    // open or no movie parses there.
    std::unique_ptr<QuickTimeAtom> tree;
    qint64 movieStart = -1;
    qint64 movieEnd = -1;
    // The 512 bytes before the movie atom.
    QByteArray lastBlock;

    QList<QuickTimeAtom*> atomsOfType(const char (&type)[5]) const;

    // The line of a repair that wrote this movie.
    QString positionLine() const;
};

#endif
