#include "quicktimesampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

QTLIB_BEGIN_NAMESPACE

QuickTimeSampleDescription::QuickTimeSampleDescription(QuickTimeFile* file, quint32 format, quint32 size)
    : size(size)
    , format(format)
    , dataReferenceIndex(1)
    , file(file)
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

int QuickTimeSampleDescription::fieldName(int index, QString& name) const
{
    QuickTimeFieldList fields;
    describeFields(fields);
    if (index < 0 || index >= fields.count())
        return -1;
    name = fields.name(index);
    return 0;
}

int QuickTimeSampleDescription::fieldValue(int index, QString& value) const
{
    QuickTimeFieldList fields;
    describeFields(fields);
    if (index < 0 || index >= fields.count())
        return -1;
    value = fields.value(index);
    return 0;
}

int QuickTimeSampleDescription::describedFieldCount() const
{
    QuickTimeFieldList fields;
    describeFields(fields);
    return fields.count();
}

void QuickTimeSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    fields.addNumber("Size", size);
    fields.addFourCC("Format", format);
    fields.addNumber("Data Reference Index", dataReferenceIndex);
    if (!opaquePayload.isEmpty())
        fields.addBytes("Payload", opaquePayload);
}

QTLIB_END_NAMESPACE
