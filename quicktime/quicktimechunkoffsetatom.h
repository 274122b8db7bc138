#ifndef QUICKTIMECHUNKOFFSETATOM_H
#define QUICKTIMECHUNKOFFSETATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'stco': 32-bit offsets, one chunk per item of the track's kind, streamed
// from the frame map when written. The rebuilds use co64 instead.
class QuickTimeChunkOffsetAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeChunkOffsetAtom(QuickTimeFile* file = nullptr, int kind = 0, quint32 chunkCount = 0,
        quint64 offsetAdjustment = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    int kind;
    quint32 chunkCount;
    quint64 offsetAdjustment;
    QList<quint32> readOffsets;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;

private:
    template <class Visit>
    void produce(Visit&& use) const;
    bool holdsReadOffsets;
};

QTLIB_END_NAMESPACE

#endif
