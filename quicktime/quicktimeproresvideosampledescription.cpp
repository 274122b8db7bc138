#include "quicktimeproresvideosampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

namespace {

constexpr quint32 colorExtensionSize = 18;
constexpr quint32 fieldExtensionSize = 10;
constexpr quint32 aspectExtensionSize = 16;
constexpr quint32 apertureExtensionSize = 40;
constexpr quint32 closingZeroSize = 4;

quint32 extensionBytes(bool withCleanAperture)
{
    return colorExtensionSize + fieldExtensionSize + aspectExtensionSize
        + (withCleanAperture ? apertureExtensionSize : 0) + closingZeroSize;
}

} // namespace

QuickTimeProResVideoSampleDescription::QuickTimeProResVideoSampleDescription(quint32 format,
    const char* compressorName, quint16 width, quint16 height, bool twoFields, const quint32* pixelAspect,
    const quint32* cleanAperture)
    : QuickTimeVideoSampleDescription(extensionBytes(cleanAperture != nullptr), format, 0, 0, fourCC("appl"), 0,
        1023, width, height, 0x480000, 0x480000, 0, 1, 24, -1)
    , colorParameterType(fourCC("nclc"))
    , fieldsPerFrame(twoFields ? 2 : 1)
    , fieldDetail(twoFields ? 9 : 0)
    , pixelAspect { 1, 1 }
    , hasCleanAperture(cleanAperture != nullptr)
    , cleanAperture {}
{
    this->compressorName = compressorName;
    if (height == 480 || height == 486) {
        colorPrimaries = 6;
        colorMatrix = 6;
    } else if (height == 576) {
        colorPrimaries = 5;
        colorMatrix = 6;
    } else {
        colorPrimaries = 1;
        colorMatrix = 1;
    }
    transferFunction = 1;
    if (pixelAspect)
        std::memcpy(this->pixelAspect, pixelAspect, sizeof this->pixelAspect);
    if (cleanAperture)
        std::memcpy(this->cleanAperture, cleanAperture, sizeof this->cleanAperture);
}

void QuickTimeProResVideoSampleDescription::writeExtensions(QDataStream& stream)
{
    writeExtensionHeader(stream, colorExtensionSize, fourCC("colr"));
    stream << colorParameterType << colorPrimaries << transferFunction << colorMatrix;
    writeExtensionHeader(stream, fieldExtensionSize, fourCC("fiel"));
    stream << fieldsPerFrame << fieldDetail;
    writeExtensionHeader(stream, aspectExtensionSize, fourCC("pasp"));
    stream << pixelAspect[0] << pixelAspect[1];
    if (hasCleanAperture) {
        writeExtensionHeader(stream, apertureExtensionSize, fourCC("clap"));
        for (quint32 value : cleanAperture)
            stream << value;
    }
}

bool QuickTimeProResVideoSampleDescription::read(QDataStream& stream, quint64& remaining)
{
    // Only a clean aperture found in the stream counts.
    hasCleanAperture = false;
    return QuickTimeVideoSampleDescription::read(stream, remaining);
}

bool QuickTimeProResVideoSampleDescription::readExtension(quint32 type, QuickTimeFieldReader& in)
{
    switch (type) {
    case fourCC("colr"):
        colorParameterType = in.u32();
        colorPrimaries = in.u16();
        transferFunction = in.u16();
        colorMatrix = in.u16();
        return true;
    case fourCC("fiel"):
        fieldsPerFrame = in.u8();
        fieldDetail = in.u8();
        return true;
    case fourCC("pasp"):
        pixelAspect[0] = in.u32();
        pixelAspect[1] = in.u32();
        return true;
    case fourCC("clap"):
        for (quint32& value : cleanAperture)
            value = in.u32();
        hasCleanAperture = true;
        return true;
    default:
        return false;
    }
}

void QuickTimeProResVideoSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVideoSampleDescription::describeFields(fields);
    fields.addFourCC("Color Parameter Type", colorParameterType);
    const quint32 color[3] = { colorPrimaries, transferFunction, colorMatrix };
    fields.addNumbers("Color Primaries, Transfer, Matrix", color, 3);
    fields.addNumber("Field Count", fieldsPerFrame);
    fields.addNumber("Field Detail", fieldDetail);
    fields.addNumbers("Pixel Aspect", pixelAspect, 2);
    if (hasCleanAperture)
        fields.addNumbers("Clean Aperture", cleanAperture, 8);
}

