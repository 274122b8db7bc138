#include "veskmovie.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"

#include <QFile>
#include <QtEndian>

const QByteArray VeskMovie::openHeader = QByteArray::fromHex("000000016d6461740000000000000010");

namespace {

void collect(QuickTimeAtom* atom, quint32 type, QList<QuickTimeAtom*>& found)
{
    if (atom->type == type)
        found.append(atom);
    for (QuickTimeAtom* child : std::as_const(atom->children))
        collect(child, type, found);
}

} // namespace

VeskMovie::VeskMovie(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(movieDataHeaderOffset))
        return;
    movieDataHeader = file.read(16);
    if (movieDataHeader.size() != 16 || headerIsOpen())
        return;
    movieStart = movieDataHeaderOffset + qint64(movieDataSize());
    if (!file.seek(movieStart - 512))
        return;
    lastBlock = file.read(512);
    const QByteArray header = file.read(8);
    if (header.size() != 8 || header.mid(4) != "moov")
        return;
    const qint64 size = qFromBigEndian<quint32>(header.constData());
    tree.reset(QuickTimeAtomReader::readTree(&file, quint64(movieStart), quint64(size)));
    if (tree)
        movieEnd = movieStart + size;
}

VeskMovie::~VeskMovie() = default;

quint64 VeskMovie::movieDataSize() const
{
    return movieDataHeader.size() == 16 ? qFromBigEndian<quint64>(movieDataHeader.constData() + 8) : 0;
}

QList<QuickTimeAtom*> VeskMovie::atomsOfType(const char (&type)[5]) const
{
    QList<QuickTimeAtom*> found;
    if (tree)
        collect(tree.get(), fourCC(type), found);
    return found;
}

QString VeskMovie::positionLine() const
{
    return QStringLiteral("Recorded FILE Last Position Start:%1 End:%2 Size:%3")
        .arg(movieStart).arg(movieEnd).arg(movieEnd - movieStart);
}
