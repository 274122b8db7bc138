#include "quicktimemediaheaderatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimematrix.h"

#include <QDataStream>

QuickTimeMediaHeaderAtom::QuickTimeMediaHeaderAtom(quint32 timeScale, quint32 duration)
    : QuickTimeVersionFlagsAtom(fourCC("mdhd"), 20, 0, 0)
    , creationTime(quickTimeUnixEpoch)
    , modificationTime(quickTimeUnixEpoch)
    , timeScale(timeScale)
    , duration(duration)
    , language(0)
    , quality(0)
{
}

void QuickTimeMediaHeaderAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << creationTime << modificationTime << timeScale << duration << language << quality;
}

bool QuickTimeMediaHeaderAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    creationTime = in.u32();
    modificationTime = in.u32();
    timeScale = in.u32();
    duration = in.u32();
    language = in.u16();
    quality = in.u16();
    return in.ok();
}

void QuickTimeMediaHeaderAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Creation Time", creationTime);
    fields.addNumber("Modification Time", modificationTime);
    fields.addNumber("Time Scale", timeScale);
    fields.addNumber("Duration", duration);
    fields.addNumber("Language", language);
    fields.addNumber("Quality", quality);
}

