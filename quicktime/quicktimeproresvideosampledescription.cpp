#include "quicktimeproresvideosampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimefile.h"

#include <QDataStream>
#include <cstring>

QTLIB_BEGIN_NAMESPACE

namespace {

constexpr quint32 colorExtensionSize = 18;
constexpr quint32 fieldExtensionSize = 10;
constexpr quint32 aspectExtensionSize = 16;
constexpr quint32 apertureExtensionSize = 40;
constexpr quint32 closingZeroSize = 4;

const QuickTimeProResChoice& proResChoice(const QuickTimeFile* file)
{
    const qint64 codec = file ? file->videoCodec : 0;
    const qint64 flavour = file ? file->proResFlavour : 0;
    for (const QuickTimeProResChoice& choice : Variant::proResChoices) {
        if ((choice.codec < 0 || choice.codec == codec) && (choice.flavour < 0 || choice.flavour == flavour))
            return choice;
    }
    return std::end(Variant::proResChoices)[-1];
}

quint32 extensionBytes()
{
    return colorExtensionSize + fieldExtensionSize + aspectExtensionSize
        + (Variant::writesCleanAperture ? apertureExtensionSize : 0) + closingZeroSize;
}

} // namespace

QuickTimeProResVideoSampleDescription::QuickTimeProResVideoSampleDescription(QuickTimeFile* file)
    : QuickTimeVideoSampleDescription(file, extensionBytes(), proResChoice(file).format, 0, 0,
        fourCC("appl"), 0, 1023, file ? file->width : 0, file ? file->height : 0, 0x480000, 0x480000,
        0, 1, 24, -1)
    , colorParameterType(fourCC("nclc"))
    , hasCleanAperture(Variant::writesCleanAperture)
{
    compressorName = proResChoice(file).compressorName;

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

    const bool twoFields = file && file->interlaced != 0 && file->vendorValues[8] == 0;
    fieldsPerFrame = twoFields ? 2 : 1;
    fieldDetail = twoFields ? 9 : 0;

    // A picture size the table does not know gets square pixels and a clean
    // aperture of the whole picture, never undefined values.
    pixelAspect[0] = 1;
    pixelAspect[1] = 1;
    const quint32 wholePicture[8] = { width, 1, height, 1, 0, 1, 0, 1 };
    std::memcpy(cleanAperture, wholePicture, sizeof cleanAperture);
    for (const QuickTimePictureAspect& row : Variant::pictureAspects) {
        if (row.width == width && row.height == height) {
            std::memcpy(pixelAspect, row.pixelAspect, sizeof pixelAspect);
            std::memcpy(cleanAperture, row.cleanAperture, sizeof cleanAperture);
            break;
        }
    }
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

QTLIB_END_NAMESPACE
