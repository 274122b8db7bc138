#include "quicktimevideosampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

namespace {
constexpr int compressorNameField = 32;
}

QuickTimeVideoSampleDescription::QuickTimeVideoSampleDescription(quint32 extensionBytes, quint32 format, quint16 version, quint16 revisionLevel, quint32 vendor,
    quint32 temporalQuality, quint32 spatialQuality, quint16 width, quint16 height,
    quint32 horizontalResolution, quint32 verticalResolution, quint32 dataSize, quint16 frameCount,
    quint16 depth, qint16 colorTableId)
    : QuickTimeSampleDescription(format, fixedSize + extensionBytes)
    , version(version)
    , revisionLevel(revisionLevel)
    , vendor(vendor)
    , temporalQuality(temporalQuality)
    , spatialQuality(spatialQuality)
    , width(width)
    , height(height)
    , horizontalResolution(horizontalResolution)
    , verticalResolution(verticalResolution)
    , dataSize(dataSize)
    , frameCount(frameCount)
    , depth(depth)
    , colorTableId(colorTableId)
{
}

void QuickTimeVideoSampleDescription::write(QDataStream& stream)
{
    writeCommonFields(stream);
    stream << version << quint16(0) << vendor << temporalQuality << spatialQuality << width << height
           << horizontalResolution << verticalResolution << dataSize << frameCount;
    QByteArray field(compressorNameField, '\0');
    const int length = int(qMin<qsizetype>(compressorName.size(), compressorNameField - 1));
    field[0] = char(length);
    field.replace(1, length, compressorName.left(length));
    stream.writeRawData(field.constData(), compressorNameField);
    stream << depth << colorTableId;
    writeExtensions(stream);
    stream << quint32(0);
}

void QuickTimeVideoSampleDescription::writeExtensions(QDataStream&)
{
}

void QuickTimeVideoSampleDescription::writeExtensionHeader(QDataStream& stream, quint32 size, quint32 type)
{
    stream << size << type;
}

bool QuickTimeVideoSampleDescription::readExtension(quint32, QuickTimeFieldReader&)
{
    return false;
}

bool QuickTimeVideoSampleDescription::read(QDataStream& stream, quint64& remaining)
{
    if (!readCommonFields(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    version = in.u16();
    revisionLevel = in.u16();
    vendor = in.u32();
    temporalQuality = in.u32();
    spatialQuality = in.u32();
    width = in.u16();
    height = in.u16();
    horizontalResolution = in.u32();
    verticalResolution = in.u32();
    dataSize = in.u32();
    frameCount = in.u16();
    const QByteArray field = in.bytes(compressorNameField);
    depth = in.u16();
    colorTableId = qint16(in.u16());
    if (!in.ok())
        return false;
    compressorName = field.mid(1, qMin(int(quint8(field[0])), compressorNameField - 1));

    // Extension atoms up to the closing zero or the end of the entry.
    while (in.left() >= 4) {
        const quint32 extensionSize = in.u32();
        if (extensionSize == 0)
            break;
        const quint32 extensionType = in.u32();
        if (!in.ok() || extensionSize < 8 || extensionSize - 8 > in.left())
            return false;
        quint64 extensionLeft = extensionSize - 8;
        in.budget() -= extensionLeft;
        QuickTimeFieldReader extension(stream, extensionLeft);
        readExtension(extensionType, extension);
        extension.skip(extensionLeft);
        if (!extension.ok())
            return false;
    }
    return in.skip(in.left());
}

void QuickTimeVideoSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeSampleDescription::describeFields(fields);
    fields.addNumber("Version", version);
    fields.addNumber("Revision Level", revisionLevel);
    fields.addFourCC("Vendor", vendor);
    fields.addNumber("Temporal Quality", temporalQuality);
    fields.addNumber("Spatial Quality", spatialQuality);
    fields.addNumber("Width", width);
    fields.addNumber("Height", height);
    fields.addHex("Horizontal Resolution", horizontalResolution, 8);
    fields.addHex("Vertical Resolution", verticalResolution, 8);
    fields.addNumber("Data Size", dataSize);
    fields.addNumber("Frame Count", frameCount);
    fields.addPascalString("Compressor Name", compressorName);
    fields.addNumber("Depth", depth);
    fields.addSigned("Color Table ID", colorTableId);
}

