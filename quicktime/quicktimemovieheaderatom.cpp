#include "quicktimemovieheaderatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimematrix.h"

#include <QDataStream>
#include <cstring>

QuickTimeMovieHeaderAtom::QuickTimeMovieHeaderAtom(quint32 timeScale, quint32 duration)
    : QuickTimeVersionFlagsAtom(fourCC("mvhd"), 96, 0, 0)
    , creationTime(quickTimeUnixEpoch)
    , modificationTime(quickTimeUnixEpoch)
    , timeScale(timeScale)
    , duration(duration)
    , preferredRate(0x10000)
    , preferredVolume(0x100)
    , previewTime(0)
    , previewDuration(0)
    , posterTime(0)
    , selectionTime(0)
    , selectionDuration(0)
    , currentTime(0)
    , nextTrackId(2)
{
    std::memset(reserved, 0, sizeof reserved);
    std::memcpy(matrix, quickTimeIdentityMatrix, sizeof matrix);
}

void QuickTimeMovieHeaderAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << creationTime << modificationTime << timeScale << duration << preferredRate << preferredVolume;
    stream.writeRawData(reinterpret_cast<const char*>(reserved), sizeof reserved);
    for (quint32 value : matrix)
        stream << value;
    stream << previewTime << previewDuration << posterTime << selectionTime << selectionDuration
           << currentTime << nextTrackId;
}

bool QuickTimeMovieHeaderAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    creationTime = in.u32();
    modificationTime = in.u32();
    timeScale = in.u32();
    duration = in.u32();
    preferredRate = in.u32();
    preferredVolume = in.u16();
    for (quint8& byte : reserved)
        byte = in.u8();
    for (quint32& value : matrix)
        value = in.u32();
    previewTime = in.u32();
    previewDuration = in.u32();
    posterTime = in.u32();
    selectionTime = in.u32();
    selectionDuration = in.u32();
    currentTime = in.u32();
    nextTrackId = in.u32();
    return in.ok();
}

void QuickTimeMovieHeaderAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Creation Time", creationTime);
    fields.addNumber("Modification Time", modificationTime);
    fields.addNumber("Time Scale", timeScale);
    fields.addNumber("Duration", duration);
    fields.addHex("Preferred Rate", preferredRate, 8);
    fields.addHex("Preferred Volume", preferredVolume, 4);
    fields.addNumbers("Matrix", matrix, 9);
    fields.addNumber("Preview Time", previewTime);
    fields.addNumber("Preview Duration", previewDuration);
    fields.addNumber("Poster Time", posterTime);
    fields.addNumber("Selection Time", selectionTime);
    fields.addNumber("Selection Duration", selectionDuration);
    fields.addNumber("Current Time", currentTime);
    fields.addNumber("Next Track ID", nextTrackId);
}

