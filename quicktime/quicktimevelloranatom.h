#ifndef QUICKTIMEVELLORANATOM_H
#define QUICKTIMEVELLORANATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'vrln', the recorder's vendor atom: the counts, the interlace flag, the
// nine vendor values and a big-endian copy of the counted frame map entries,
// streamed from the frame map when written.
class QuickTimeVelloranAtom : public QuickTimeVersionFlagsAtom
{
public:
    static constexpr int reservedBytes = 72;

    explicit QuickTimeVelloranAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 word0;
    quint32 interlaced;
    quint32 entryCount;
    quint32 videoFrameCount;
    quint32 audioChunkCount;
    quint32 timecodeSampleCount;
    quint32 vendorValues[9];
    quint32 word15;
    // Entries read back from a stream; empty for an atom built for writing,
    // which copies the file's frame map instead.
    QList<quint16> readEntries;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;

private:
    // Entry `index` to write: read back, or from the file's frame map.
    bool entryAt(quint32 index, quint64& value) const;
    bool holdsReadEntries;
};

QTLIB_END_NAMESPACE

#endif
