#include "quicktimeatom.h"

#include "quicktimeatomreader.h"
#include "quicktimefieldlist.h"

#include <QDataStream>

QTLIB_BEGIN_NAMESPACE

QuickTimeAtom::QuickTimeAtom(quint32 type, QuickTimeFile* file)
    : file(file)
    , type(type)
    , size(8)
    , readSize(0)
    , readPosition(0)
    , fieldCount(0)
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

int QuickTimeAtom::fieldName(int index, QString& name) const
{
    QuickTimeFieldList fields;
    describeFields(fields);
    if (index < 0 || index >= fields.count())
        return -1;
    name = fields.name(index);
    return 0;
}

int QuickTimeAtom::fieldValue(int index, QString& value) const
{
    QuickTimeFieldList fields;
    describeFields(fields);
    if (index < 0 || index >= fields.count())
        return -1;
    value = fields.value(index);
    return 0;
}

void QuickTimeAtom::addChild(QuickTimeAtom* parent, QuickTimeAtom* child)
{
    // An unplaced parent cannot place its child either.
    child->offset = parent->offset < 0 ? -1 : parent->offset + parent->size;
    parent->children.append(child);
    parent->size += child->size;
    if (parent->parent)
        parent->parent->growSize(child->size);
    child->parent = parent;
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

void QuickTimeAtom::describeFields(QuickTimeFieldList&) const
{
}

QTLIB_END_NAMESPACE
