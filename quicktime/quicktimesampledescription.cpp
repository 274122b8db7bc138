#include "quicktimesampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

QuickTimeSampleDescription::QuickTimeSampleDescription(quint32 format, quint32 size)
    : size(size)
    , format(format)
    , dataReferenceIndex(1)
{
    std::memset(reserved, 0, sizeof reserved);
}

QuickTimeSampleDescription::~QuickTimeSampleDescription() = default;

void QuickTimeSampleDescription::writeCommonFields(QDataStream& stream)
{
    stream << size << format;
    stream.writeRawData(reinterpret_cast<const char*>(reserved), sizeof reserved);
    stream << dataReferenceIndex;
}

bool QuickTimeSampleDescription::readCommonFields(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    for (quint8& byte : reserved)
        byte = in.u8();
    dataReferenceIndex = in.u16();
    return in.ok();
}

void QuickTimeSampleDescription::write(QDataStream& stream)
{
    writeCommonFields(stream);
    stream.writeRawData(opaquePayload.constData(), int(opaquePayload.size()));
}

bool QuickTimeSampleDescription::read(QDataStream& stream, quint64& remaining)
{
    if (!readCommonFields(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    opaquePayload = in.bytes(remaining);
    return in.ok();
}

void QuickTimeSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    fields.addNumber("Size", size);
    fields.addFourCC("Format", format);
    fields.addNumber("Data Reference Index", dataReferenceIndex);
    if (!opaquePayload.isEmpty())
        fields.addBytes("Payload", opaquePayload);
}

