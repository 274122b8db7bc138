#ifndef QUICKTIMESAMPLESIZEATOM_H
#define QUICKTIMESAMPLESIZEATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'stsz': one constant sample size, or (constant size 0) a table of the
// lengths of the track's items, streamed from the frame map when written.
class QuickTimeSampleSizeAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeSampleSizeAtom(QuickTimeFile* file = nullptr, int kind = 0, quint32 sampleCount = 0,
        quint32 constantSampleSize = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    int kind; // frame map kind the table lists
    quint32 sampleSize;
    quint32 sampleCount;
    // Sizes read back from a stream; an atom built for writing has none.
    QList<quint32> readSizes;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;

private:
    bool hasTable() const { return sampleSize == 0; }
    bool holdsReadSizes;
};

QTLIB_END_NAMESPACE

#endif
