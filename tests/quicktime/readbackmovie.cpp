#include "readbackmovie.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"

#include <QFile>
#include <QtEndian>

QTLIB_BEGIN_NAMESPACE

namespace {

template <class Atom>
void collect(Atom* atom, quint32 type, QList<Atom*>& found)
{
    if (atom->type == type)
        found.append(atom);
    for (Atom* child : std::as_const(atom->children))
        collect(child, type, found);
}

} // namespace

QList<QuickTimeAtom*> atomsOfType(QuickTimeAtom* root, quint32 type)
{
    QList<QuickTimeAtom*> found;
    if (root)
        collect(root, type, found);
    return found;
}

QList<const QuickTimeAtom*> atomsOfType(const QuickTimeAtom* root, quint32 type)
{
    QList<const QuickTimeAtom*> found;
    if (root)
        collect(root, type, found);
    return found;
}

const QByteArray ReadBackMovie::openHeader = QByteArray::fromHex("000000016d6461740000000000000010");

ReadBackMovie::ReadBackMovie(const QString& path)
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
    blockBefore = file.read(512);
    const QByteArray header = file.read(8);
    if (header.size() != 8 || header.mid(4) != "moov")
        return;
    const qint64 size = qFromBigEndian<quint32>(header.constData());
    tree.reset(QuickTimeAtomReader::readTree(&file, quint64(movieStart), quint64(size)));
    if (!tree)
        return;
    movieEnd = movieStart + size;
    if (file.seek(movieEnd))
        blockAfter = file.read(512);
}

ReadBackMovie::~ReadBackMovie() = default;

quint64 ReadBackMovie::movieDataSize() const
{
    return movieDataHeader.size() == 16 ? qFromBigEndian<quint64>(movieDataHeader.constData() + 8) : 0;
}

QList<QuickTimeAtom*> ReadBackMovie::atomsOfType(const char (&type)[5]) const
{
    return QTLIB_NAMESPACE::atomsOfType(tree.get(), fourCC(type));
}

QString ReadBackMovie::positionLine() const
{
    return QStringLiteral("Recorded FILE Last Position Start:%1 End:%2 Size:%3")
        .arg(movieStart).arg(movieEnd).arg(movieEnd - movieStart);
}

QTLIB_END_NAMESPACE
