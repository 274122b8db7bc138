#ifndef QUICKTIMEATOM_H
#define QUICKTIMEATOM_H

#include "variant.h"

#include <QList>
#include <QString>

class QDataStream;

QTLIB_BEGIN_NAMESPACE

class QuickTimeFieldList;
class QuickTimeFile;

// One atom of a movie tree. The base class is also every container: its
// payload is its children. Sizes include the 8-byte header.
class QuickTimeAtom
{
public:
    explicit QuickTimeAtom(quint32 type = 0, QuickTimeFile* file = nullptr);
    virtual ~QuickTimeAtom();

    // Header (nothing for type 0), then the children; subclasses append their fields.
    virtual void write(QDataStream& stream);
    virtual void writeHeader(QDataStream& stream);
    virtual void writeChildren(QDataStream& stream);
    // Reads what follows the header, never more than `remaining` bytes, and
    // counts down `remaining` by what it consumed. The base reads children.
    virtual bool read(QDataStream& stream, quint64& remaining);
    // 0 and the text for a field index below fieldCount, -1 otherwise.
    virtual int fieldName(int index, QString& name) const;
    virtual int fieldValue(int index, QString& value) const;

    // Places `child` right after what `parent` holds so far and grows every
    // ancestor by its size.
    static void addChild(QuickTimeAtom* parent, QuickTimeAtom* child);
    template <class Atom>
    Atom* addChild(Atom* child)
    {
        addChild(this, child);
        return child;
    }
    // Grows this atom and every ancestor by n bytes.
    void growSize(quint32 n);

    // Bytes of this atom's own header as written: 8, or 0 for a headerless atom.
    virtual quint32 headerSize() const;

    QuickTimeFile* file;
    quint32 type;
    quint32 size;
    quint64 readSize;
    quint64 readPosition;
    quint32 fieldCount;
    QuickTimeAtom* parent;
    QList<QuickTimeAtom*> children;
    qint64 offset;

protected:
    // Appends name and value of every field that fieldName/fieldValue describe.
    virtual void describeFields(QuickTimeFieldList& fields) const;

private:
    Q_DISABLE_COPY(QuickTimeAtom)
};

QTLIB_END_NAMESPACE

#endif
