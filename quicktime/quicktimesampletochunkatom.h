#ifndef QUICKTIMESAMPLETOCHUNKATOM_H
#define QUICKTIMESAMPLETOCHUNKATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

// 'stsc': full chunks of samplesPerChunk samples, with an optional shorter
// first and last chunk.
class QuickTimeSampleToChunkAtom : public QuickTimeVersionFlagsAtom
{
public:
    struct Entry
    {
        quint32 firstChunk;
        quint32 samplesPerChunk;
        quint32 sampleDescriptionId;
    };

    QuickTimeSampleToChunkAtom(quint32 samplesPerChunk = 0,
        quint32 lastEntryFirstChunk = 0, quint32 lastChunkSamples = 0, quint32 firstChunkSamples = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    QList<Entry> entries;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
