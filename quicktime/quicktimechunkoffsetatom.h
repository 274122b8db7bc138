#ifndef QUICKTIMECHUNKOFFSETATOM_H
#define QUICKTIMECHUNKOFFSETATOM_H

#include "quicktimeentrysource.h"
#include "quicktimeversionflagsatom.h"

// 'co64' (64-bit) or 'stco' (32-bit) chunk offsets, drawn from `offsets`
// while the table is written.
class QuickTimeChunkOffsetAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeChunkOffsetAtom(bool wide = true, quint32 chunkCount = 0,
        QuickTimeEntrySourcePointer offsets = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;
    void describeFields(QuickTimeFieldList& fields) const override;

    int width() const { return type == fourCC("co64") ? 8 : 4; }

    quint32 chunkCount;
    QuickTimeEntrySourcePointer offsets;
    // Names the table and its file position in debug lines while it streams.
    bool announcesStreaming = false;
};

#endif
