#ifndef QUICKTIMEVIDEOSAMPLEDESCRIPTION_H
#define QUICKTIMEVIDEOSAMPLEDESCRIPTION_H

#include "quicktimesampledescription.h"

class QuickTimeFieldReader;

// The standard video sample description, followed by extension atoms that
// the subclasses write and read, and a closing u32 0.
class QuickTimeVideoSampleDescription : public QuickTimeSampleDescription
{
public:
    static constexpr quint32 fixedSize = 86;

    QuickTimeVideoSampleDescription(quint32 extensionBytes, quint32 format,
        quint16 version, quint16 revisionLevel, quint32 vendor, quint32 temporalQuality,
        quint32 spatialQuality, quint16 width, quint16 height, quint32 horizontalResolution,
        quint32 verticalResolution, quint32 dataSize, quint16 frameCount, quint16 depth,
        qint16 colorTableId);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 version;
    quint16 revisionLevel; // always written as 0
    quint32 vendor;
    quint32 temporalQuality;
    quint32 spatialQuality;
    quint16 width;
    quint16 height;
    quint32 horizontalResolution;
    quint32 verticalResolution;
    quint32 dataSize;
    quint16 frameCount;
    QByteArray compressorName; // Pascal string in a zero-filled 32-byte field
    quint16 depth;
    qint16 colorTableId;

    void describeFields(QuickTimeFieldList& fields) const override;

protected:
    // The extension atoms, without the closing zero.
    virtual void writeExtensions(QDataStream& stream);
    // Reads the payload of one extension atom; false leaves it to be skipped.
    virtual bool readExtension(quint32 type, QuickTimeFieldReader& in);
    static void writeExtensionHeader(QDataStream& stream, quint32 size, quint32 type);
};

#endif
