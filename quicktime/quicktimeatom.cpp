#include "quicktimeatom.h"

#include "quicktimeatomreader.h"

#include <QDataStream>

QuickTimeAtom::QuickTimeAtom(quint32 type)
    : type(type)
    , size(8)
    , readSize(0)
    , readPosition(0)
    , parent(nullptr)
    , offset(-1)
{
}

QuickTimeAtom::~QuickTimeAtom()
{
    qDeleteAll(children);
}

void QuickTimeAtom::write(QDataStream& stream)
{
    writeHeader(stream);
    writeChildren(stream);
}

void QuickTimeAtom::writeHeader(QDataStream& stream)
{
    if (type == 0)
        return;
    stream << size << type;
}

void QuickTimeAtom::writeChildren(QDataStream& stream)
{
    for (QuickTimeAtom* child : std::as_const(children))
        child->write(stream);
}

bool QuickTimeAtom::read(QDataStream& stream, quint64& remaining)
{
    return QuickTimeAtomReader::readChildren(this, stream, remaining);
}

void QuickTimeAtom::describeFields(QuickTimeFieldList&) const
{
}

void QuickTimeAtom::attach(QuickTimeAtom* child)
{
    // An unplaced parent cannot place its child either.
    child->offset = offset < 0 ? -1 : offset + size;
    children.append(child);
    child->parent = this;
    growSize(child->size);
}

void QuickTimeAtom::growSize(quint32 n)
{
    for (QuickTimeAtom* atom = this; atom; atom = atom->parent)
        atom->size += n;
}

quint32 QuickTimeAtom::headerSize() const
{
    return type == 0 ? 0 : 8;
}
