#ifndef QUICKTIMETIMETOSAMPLEATOM_H
#define QUICKTIMETIMETOSAMPLEATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

// 'stts': one run of samples of the same duration, or (addEntry) several.
class QuickTimeTimeToSampleAtom : public QuickTimeVersionFlagsAtom
{
public:
    struct Entry
    {
        quint32 sampleCount;
        quint32 sampleDuration;
    };

    QuickTimeTimeToSampleAtom(quint32 sampleCount = 0, quint32 sampleDuration = 0);

    // Appends an entry and grows the atom (and its ancestors) by its 8 bytes.
    void addEntry(quint32 sampleCount, quint32 sampleDuration);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    QList<Entry> entries;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
