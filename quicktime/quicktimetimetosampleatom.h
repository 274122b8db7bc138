#ifndef QUICKTIMETIMETOSAMPLEATOM_H
#define QUICKTIMETIMETOSAMPLEATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'stts': every sample of the track has the same duration.
class QuickTimeTimeToSampleAtom : public QuickTimeVersionFlagsAtom
{
public:
    struct Entry
    {
        quint32 sampleCount;
        quint32 sampleDuration;
    };

    QuickTimeTimeToSampleAtom(QuickTimeFile* file = nullptr, quint32 sampleCount = 0, quint32 sampleDuration = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    QList<Entry> entries;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
