#include "moviecheck.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"

#include <QIODevice>
#include <QtEndian>

#include <memory>

namespace {

struct TopLevelAtom
{
    quint32 type = 0;
    quint64 size = 0;
    quint64 headerSize = 8;
};

bool readAtomHeader(QIODevice* device, quint64 position, quint64 fileSize, TopLevelAtom& atom)
{
    uchar header[16];
    if (position + 8 > fileSize || !device->seek(qint64(position)) || device->read(reinterpret_cast<char*>(header), 8) != 8)
        return false;
    atom.size = qFromBigEndian<quint32>(header);
    atom.type = qFromBigEndian<quint32>(header + 4);
    atom.headerSize = 8;
    if (atom.size == 1) {
        if (device->read(reinterpret_cast<char*>(header + 8), 8) != 8)
            return false;
        atom.size = qFromBigEndian<quint64>(header + 8);
        atom.headerSize = 16;
    } else if (atom.size == 0) {
        atom.size = fileSize - position;
    }
    return atom.size >= atom.headerSize && atom.size <= fileSize - position;
}

} // namespace

bool MovieCheck::isComplete(QIODevice* device)
{
    return readMovie(device) != nullptr;
}

std::unique_ptr<QuickTimeAtom> MovieCheck::readMovie(QIODevice* device)
{
    if (!device || !device->isReadable() || device->isSequential())
        return nullptr;
    const quint64 fileSize = quint64(device->size());
    bool closedMediaData = false;
    std::unique_ptr<QuickTimeAtom> movie;
    quint64 position = 0;
    for (int i = 0; i < atomLimit && position < fileSize; ++i) {
        TopLevelAtom atom;
        if (!readAtomHeader(device, position, fileSize, atom))
            return nullptr;
        if (atom.type == fourCC("moov")) {
            movie.reset(QuickTimeAtomReader::readTree(device, position, atom.size));
            if (!movie || movie->children.size() != 1 || movie->children.first()->type != fourCC("moov"))
                return nullptr;
        }
        // An open one still reads its bare header size.
        closedMediaData = closedMediaData || (atom.type == fourCC("mdat") && atom.size > atom.headerSize);
        if (movie && closedMediaData)
            return movie;
        position += atom.size;
    }
    return nullptr;
}

