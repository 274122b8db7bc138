#ifndef QUICKTIMETIMECODESAMPLEDESCRIPTION_H
#define QUICKTIMETIMECODESAMPLEDESCRIPTION_H

#include "quicktimesampledescription.h"

// The 'tmcd' description: frame rate and counting mode of the timecode track.
// The builders grow it by the source name atom that follows its fields.
class QuickTimeTimecodeSampleDescription : public QuickTimeSampleDescription
{
public:
    static constexpr quint32 fixedSize = 34;
    enum Flag : quint32 { DropFrame = 1, Counter = 8 };

    QuickTimeTimecodeSampleDescription(quint32 timeScale = 0, quint32 frameDuration = 0, bool dropFrame = false,
        bool counter = false);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 reserved1;
    quint32 flags;
    quint32 timeScale;
    quint32 frameDuration;
    quint8 numberOfFrames;
    quint8 reserved2;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
