#ifndef QUICKTIMEATOM_H
#define QUICKTIMEATOM_H

#include "quicktimefourcc.h"

#include <QList>

class QDataStream;
class QuickTimeFieldList;

// One atom of a movie tree. The base class is also every container that
// only holds children ('moov', 'trak', 'mdia', 'minf', 'stbl', ...): its
// payload is its children. Sizes include the 8-byte header; a type of 0 is
// the headerless root of a tree.
class QuickTimeAtom
{
public:
    explicit QuickTimeAtom(quint32 type = 0);
    virtual ~QuickTimeAtom();

    // Header (nothing for type 0), then the children; subclasses write their
    // fields between the two.
    virtual void write(QDataStream& stream);
    virtual void writeHeader(QDataStream& stream);
    void writeChildren(QDataStream& stream);
    // Reads what follows the header, never more than `remaining` bytes, and
    // counts down `remaining` by what it consumed. The base reads children.
    virtual bool read(QDataStream& stream, quint64& remaining);
    // Appends the name and value of every field, in file order.
    virtual void describeFields(QuickTimeFieldList& fields) const;

    // Places `child` right after what this atom holds so far and grows every
    // ancestor by its size; returns it.
    template <class Atom>
    Atom* addChild(Atom* child)
    {
        attach(child);
        return child;
    }
    // Grows this atom and every ancestor by n bytes.
    void growSize(quint32 n);

    // Bytes of this atom's own header as written: 8, or 0 for a headerless atom.
    virtual quint32 headerSize() const;

    quint32 type;
    quint32 size;
    // Where the atom was found and its size there, for an atom read from a file.
    quint64 readSize;
    quint64 readPosition;
    QuickTimeAtom* parent;
    QList<QuickTimeAtom*> children;
    // File offset of a built atom; -1 while its tree is not placed.
    qint64 offset;

private:
    void attach(QuickTimeAtom* child);
    Q_DISABLE_COPY(QuickTimeAtom)
};

#endif
