#include "repairedmovie.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimechunkoffset64atom.h"

#include <QFile>
#include <QtEndian>

using namespace Tolvan;

namespace {

void collect(QuickTimeAtom* atom, quint32 type, QList<QuickTimeAtom*>& found)
{
    if (atom->type == type)
        found.append(atom);
    for (QuickTimeAtom* child : std::as_const(atom->children))
        collect(child, type, found);
}

} // namespace

RepairedMovie::RepairedMovie(const QString& path)
    : path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(movieDataHeaderOffset))
        return;
    movieDataHeader = file.read(16);
    if (movieDataHeader.size() != 16 || headerIsOpen())
        return;
    movieStart = movieDataHeaderOffset + qint64(movieDataSize());
    if (!file.seek(movieStart))
        return;
    const QByteArray header = file.read(8);
    if (header.size() != 8 || header.mid(4) != "moov")
        return;
    const qint64 size = qFromBigEndian<quint32>(header.constData());
    tree.reset(QuickTimeAtomReader::readTree(&file, quint64(movieStart), quint64(size)));
    if (!tree)
        return;
    movieEnd = movieStart + size;
    file.seek(movieEnd);
    closingBlockIsZero = file.read(512) == QByteArray(512, '\0');
}

RepairedMovie::~RepairedMovie() = default;

bool RepairedMovie::headerIsOpen() const
{
    return movieDataHeader == QByteArray::fromHex("000000016d64617400000000000000" "10");
}

quint64 RepairedMovie::movieDataSize() const
{
    return movieDataHeader.size() == 16 ? qFromBigEndian<quint64>(movieDataHeader.constData() + 8) : 0;
}

QList<QuickTimeAtom*> RepairedMovie::atomsOfType(const char (&type)[5]) const
{
    QList<QuickTimeAtom*> found;
    if (tree)
        collect(tree.get(), fourCC(type), found);
    return found;
}

QStringList RepairedMovie::repairLines(const QString& takePath, const QStringList& notes) const
{
    QStringList lines{ QStringLiteral("********************* %1 needs to be restored!\n").arg(takePath) };
    lines += notes;
    // The chunk offset writer names each table's entry count and where it starts.
    for (QuickTimeAtom* atom : atomsOfType("co64")) {
        const auto* offsets = static_cast<QuickTimeChunkOffset64Atom*>(atom);
        lines.append(QStringLiteral("stream %1 entries (%2)").arg(offsets->chunkCount).arg(offsets->readPosition + 16, 0, 16));
        lines.append(QStringLiteral("done streaming %1 entries").arg(offsets->chunkCount));
    }
    lines.append(QStringLiteral("Recorded FILE Last Position Start:%1 End:%2 Size:%3")
                     .arg(movieStart).arg(movieEnd).arg(movieEnd - movieStart));
    return lines;
}
