#include "quicktimesampledescriptionatom.h"

#include "quicktimeatomreader.h"
#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimesampledescription.h"

#include <QDataStream>

namespace {
constexpr quint32 smallestDescription = 16;
}

QuickTimeSampleDescriptionAtom::QuickTimeSampleDescriptionAtom()
    : QuickTimeVersionFlagsAtom(fourCC("stsd"), 4, 0, 0)
    , entryCount(0)
{
}

QuickTimeSampleDescriptionAtom::~QuickTimeSampleDescriptionAtom()
{
    qDeleteAll(descriptions);
}

void QuickTimeSampleDescriptionAtom::addDescription(QuickTimeSampleDescription* description)
{
    descriptions.append(description);
    entryCount = quint32(descriptions.size());
    growSize(description->size);
}

void QuickTimeSampleDescriptionAtom::write(QDataStream& stream)
{
    writeHeader(stream);
    stream << entryCount;
    for (QuickTimeSampleDescription* description : std::as_const(descriptions))
        description->write(stream);
    writeChildren(stream);
}

bool QuickTimeSampleDescriptionAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    entryCount = in.u32();
    if (!in.ok() || entryCount > in.left() / smallestDescription)
        return false;
    for (quint32 i = 0; i < entryCount; ++i) {
        const quint32 entrySize = in.u32();
        const quint32 format = in.u32();
        if (!in.ok() || entrySize < smallestDescription || entrySize - 8 > in.left())
            return false;
        quint64 entryLeft = entrySize - 8;
        in.budget() -= entryLeft;
        QuickTimeSampleDescription* description = QuickTimeAtomReader::createDescription(format);
        descriptions.append(description);
        description->size = entrySize;
        description->format = format;
        if (!description->read(stream, entryLeft))
            return false;
        // Bytes the description left are atoms inside it, such as the
        // timecode track's source name, or zeros too few for an atom (other
        // writers end a timecode description without a name so).
        if (entryLeft < 8) {
            QuickTimeFieldReader padding(stream, entryLeft);
            const QByteArray zeros = padding.bytes(entryLeft);
            if (!padding.ok() || zeros.count('\0') != zeros.size())
                return false;
        } else if (!QuickTimeAtomReader::readChildren(this, stream, entryLeft)) {
            return false;
        }
    }
    return QuickTimeAtomReader::readChildren(this, stream, remaining);
}

void QuickTimeSampleDescriptionAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", entryCount);
}

