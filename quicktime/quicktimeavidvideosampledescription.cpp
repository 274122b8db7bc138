#include "quicktimeavidvideosampledescription.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

namespace {

constexpr quint32 shortExtensionSize = 24;
constexpr int shortExtensionValues = 2;
constexpr quint32 resolutionExtensionSize = 120;
constexpr int resolutionValues = 6;
constexpr int resolutionPadding = 80;
constexpr quint32 extensionBytes = 2 * shortExtensionSize + resolutionExtensionSize + 4;

} // namespace

QuickTimeAvidVideoSampleDescription::QuickTimeAvidVideoSampleDescription(quint16 width, quint16 height,
    bool interlaced, quint32 compressionId)
    : QuickTimeVideoSampleDescription(extensionBytes, fourCC("AVdn"), 0, 0, fourCC("vrln"), 512, 512, width, height,
        0x480000, 0x480000, 0, 1, 24, -1)
    , colorExtension { fourCC("ACLR"), fourCC("0001"), { 1, 0, 0, 0, 0, 0 } }
    , programExtension { fourCC("APRG"), fourCC("0001"), { 1, 0, 0, 0, 0, 0 } }
    , resolutionExtension { fourCC("ARES"), fourCC("0001"), {} }
{
    compressorName = "DNxHD Codec";
    quint32* values = resolutionExtension.values;
    values[0] = compressionId;
    values[1] = width;
    values[2] = interlaced ? height / 2 : height;
    values[3] = interlaced ? 2 : 1;
    values[4] = 0;
    values[5] = interlaced ? 4 : (height == 1080 ? 5 : 6);
}

void QuickTimeAvidVideoSampleDescription::writeExtensions(QDataStream& stream)
{
    for (const Extension* extension : { &colorExtension, &programExtension }) {
        writeExtensionHeader(stream, shortExtensionSize, extension->tag);
        stream << extension->tag << extension->versionTag;
        for (int i = 0; i < shortExtensionValues; ++i)
            stream << extension->values[i];
    }
    writeExtensionHeader(stream, resolutionExtensionSize, resolutionExtension.tag);
    stream << resolutionExtension.tag << resolutionExtension.versionTag;
    for (quint32 value : resolutionExtension.values)
        stream << value;
    static const char zeros[resolutionPadding] = {};
    stream.writeRawData(zeros, resolutionPadding);
}

bool QuickTimeAvidVideoSampleDescription::readExtension(quint32 type, QuickTimeFieldReader& in)
{
    Extension* extension = nullptr;
    int valueCount = shortExtensionValues;
    switch (type) {
    case fourCC("ACLR"): extension = &colorExtension; break;
    case fourCC("APRG"): extension = &programExtension; break;
    case fourCC("ARES"):
        extension = &resolutionExtension;
        valueCount = resolutionValues;
        break;
    default: return false;
    }
    extension->tag = in.u32();
    extension->versionTag = in.u32();
    for (int i = 0; i < valueCount; ++i)
        extension->values[i] = in.u32();
    return true;
}

void QuickTimeAvidVideoSampleDescription::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVideoSampleDescription::describeFields(fields);
    const struct {
        const char* name;
        const Extension* extension;
        int valueCount;
    } described[] = {
        { "ACLR", &colorExtension, shortExtensionValues },
        { "APRG", &programExtension, shortExtensionValues },
        { "ARES", &resolutionExtension, resolutionValues },
    };
    for (const auto& item : described) {
        fields.add(QString::fromLatin1(item.name),
            QuickTimeFieldList::fourCCText(item.extension->tag) + QLatin1Char(' ')
                + QuickTimeFieldList::fourCCText(item.extension->versionTag));
        QuickTimeFieldList values;
        values.addNumbers(item.name, item.extension->values, item.valueCount);
        fields.add(QString::fromLatin1(item.name) + QStringLiteral(" Values"), values.value(0));
    }
}

