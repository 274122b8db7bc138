#include "quicktimetimecodesampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

QuickTimeTimecodeSampleDescription::QuickTimeTimecodeSampleDescription(quint32 timeScale, quint32 frameDuration,
    bool dropFrame, bool counter)
    : QuickTimeSampleDescription(fourCC("tmcd"), fixedSize)
    , reserved1(0)
    , flags(0)
    , timeScale(timeScale)
    , frameDuration(frameDuration)
    , numberOfFrames(frameDuration == 0 ? 0 : quint8((quint64(timeScale) + frameDuration - 1) / frameDuration))
    , reserved2(0)
{
    if (dropFrame)
        flags |= DropFrame;
    if (counter)
        flags |= Counter;
}

void QuickTimeTimecodeSampleDescription::write(QDataStream& stream)
{
    writeCommonFields(stream);
    stream << reserved1 << flags << timeScale << frameDuration << numberOfFrames << reserved2;
}

bool QuickTimeTimecodeSampleDescription::read(QDataStream& stream, quint64& remaining)
{
    if (!readCommonFields(stream, remaining))
        return false;
    // What follows the fields (the source name) belongs to the sample
    // description atom's children; it is left for the caller.
    QuickTimeFieldReader in(stream, remaining);
    reserved1 = in.u32();
    flags = in.u32();
    timeScale = in.u32();
    frameDuration = in.u32();
    numberOfFrames = in.u8();
    reserved2 = in.u8();
    return in.ok();
}

void QuickTimeTimecodeSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeSampleDescription::describeFields(fields);
    fields.addNumber("Reserved", reserved1);
    fields.addHex("Flags", flags, 8);
    fields.addNumber("Time Scale", timeScale);
    fields.addNumber("Frame Duration", frameDuration);
    fields.addNumber("Number of Frames", numberOfFrames);
    fields.addNumber("Reserved", reserved2);
}

