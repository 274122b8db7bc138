#include "quicktimetrackheaderatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimematrix.h"

#include <QDataStream>
#include <cstring>

QuickTimeTrackHeaderAtom::QuickTimeTrackHeaderAtom(quint32 trackId,
    quint32 duration, quint16 width, quint16 height, quint16 volume)
    : QuickTimeVersionFlagsAtom(fourCC("tkhd"), 80, 0, 0x0F)
    , creationTime(quickTimeUnixEpoch)
    , modificationTime(quickTimeUnixEpoch)
    , trackId(trackId)
    , reserved1(0)
    , duration(duration)
    , layer(0)
    , alternateGroup(0)
    , volume(volume)
    , reserved3(0)
    , width(quint32(width) << 16)
    , height(quint32(height) << 16)
{
    std::memset(reserved2, 0, sizeof reserved2);
    std::memcpy(matrix, quickTimeIdentityMatrix, sizeof matrix);
}

void QuickTimeTrackHeaderAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << creationTime << modificationTime << trackId << reserved1 << duration;
    stream.writeRawData(reinterpret_cast<const char*>(reserved2), sizeof reserved2);
    stream << layer << alternateGroup << volume << reserved3;
    for (quint32 value : matrix)
        stream << value;
    stream << width << height;
}

bool QuickTimeTrackHeaderAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    creationTime = in.u32();
    modificationTime = in.u32();
    trackId = in.u32();
    reserved1 = in.u32();
    duration = in.u32();
    for (quint8& byte : reserved2)
        byte = in.u8();
    layer = in.u16();
    alternateGroup = in.u16();
    volume = in.u16();
    reserved3 = in.u16();
    for (quint32& value : matrix)
        value = in.u32();
    width = in.u32();
    height = in.u32();
    return in.ok();
}

void QuickTimeTrackHeaderAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Creation Time", creationTime);
    fields.addNumber("Modification Time", modificationTime);
    fields.addNumber("Track ID", trackId);
    fields.addNumber("Reserved", reserved1);
    fields.addNumber("Duration", duration);
    fields.addNumber("Layer", layer);
    fields.addNumber("Alternate Group", alternateGroup);
    fields.addHex("Volume", volume, 4);
    fields.addNumber("Reserved", reserved3);
    fields.addNumbers("Matrix", matrix, 9);
    fields.addHex("Width", width, 8);
    fields.addHex("Height", height, 8);
    fields.addBytes("Reserved Bytes", QByteArray(reinterpret_cast<const char*>(reserved2), sizeof reserved2));
}

