#ifndef QUICKTIMESAMPLESIZEATOM_H
#define QUICKTIMESAMPLESIZEATOM_H

#include "quicktimeentrysource.h"
#include "quicktimeversionflagsatom.h"

// 'stsz': one constant sample size, or (constant size 0) a table of sample
// sizes drawn from `sizes` while it is written.
class QuickTimeSampleSizeAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeSampleSizeAtom(quint32 sampleCount = 0, quint32 constantSampleSize = 0,
        QuickTimeEntrySourcePointer sizes = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;
    void describeFields(QuickTimeFieldList& fields) const override;

    quint32 sampleSize;
    quint32 sampleCount;
    QuickTimeEntrySourcePointer sizes;

private:
    bool hasTable() const { return sampleSize == 0; }
};

#endif
