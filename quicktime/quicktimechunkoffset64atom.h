#ifndef QUICKTIMECHUNKOFFSET64ATOM_H
#define QUICKTIMECHUNKOFFSET64ATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'co64': 64-bit chunk offsets, streamed from the frame map when written.
// Every samplesPerChunk-th item of the track's kind opens a chunk.
class QuickTimeChunkOffset64Atom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeChunkOffset64Atom(QuickTimeFile* file = nullptr, int kind = 0, quint32 sampleCount = 0,
        quint64 offsetAdjustment = 0, quint32 samplesPerChunk = 1, quint64 lastChunkAdjustment = 0,
        quint64 firstChunkAdjustment = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    int kind;
    quint32 sampleCount;
    quint64 offsetAdjustment;
    quint32 samplesPerChunk;
    quint64 lastChunkAdjustment;
    quint64 firstChunkAdjustment;
    quint32 chunkCount;
    QList<quint64> readOffsets;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;

private:
    template <class Visit>
    void produce(Visit&& use) const;
    bool holdsReadOffsets;
};

QTLIB_END_NAMESPACE

#endif
