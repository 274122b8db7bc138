#ifndef QUICKTIMEVELLORANATOM_H
#define QUICKTIMEVELLORANATOM_H

#include "quicktimeentrysource.h"
#include "quicktimeversionflagsatom.h"

// 'vrln', the recorder's vendor atom: the counts, the interlace flag, the
// nine vendor values and a big-endian copy of `entryCount` frame map
// entries, drawn from `entries` while it is written.
class QuickTimeVelloranAtom : public QuickTimeVersionFlagsAtom
{
public:
    static constexpr int reservedBytes = 72;
    // Its size without the entries.
    static constexpr quint32 fixedSize = 148;

    explicit QuickTimeVelloranAtom(quint32 entryCount = 0, QuickTimeEntrySourcePointer entries = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;
    void describeFields(QuickTimeFieldList& fields) const override;

    quint32 word0 = 1;
    quint32 interlaced = 0;
    quint32 entryCount;
    quint32 videoFrameCount = 0;
    quint32 audioChunkCount = 0;
    quint32 timecodeSampleCount = 0;
    quint32 vendorValues[9] = {};
    quint32 word15 = 1;
    QuickTimeEntrySourcePointer entries;
};

#endif
