#ifndef QUICKTIMEPRORESVIDEOSAMPLEDESCRIPTION_H
#define QUICKTIMEPRORESVIDEOSAMPLEDESCRIPTION_H

#include "quicktimevideosampledescription.h"

// A ProRes video description with its colour, field and pixel aspect
// extensions (and the clean aperture where the variant writes one).
class QuickTimeProResVideoSampleDescription : public QuickTimeVideoSampleDescription
{
public:
    // `cleanAperture` null writes no clean aperture extension.
    QuickTimeProResVideoSampleDescription(quint32 format = 0, const char* compressorName = "", quint16 width = 0,
        quint16 height = 0, bool twoFields = false, const quint32* pixelAspect = nullptr,
        const quint32* cleanAperture = nullptr);

    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 colorParameterType;
    quint16 colorPrimaries;
    quint16 transferFunction;
    quint16 colorMatrix;
    quint8 fieldsPerFrame;
    quint8 fieldDetail;
    quint32 pixelAspect[2]; // horizontal, vertical spacing
    bool hasCleanAperture;
    quint32 cleanAperture[8]; // width, height, horizontal and vertical offset, each N/D

    void describeFields(QuickTimeFieldList& fields) const override;

protected:
    void writeExtensions(QDataStream& stream) override;
    bool readExtension(quint32 type, QuickTimeFieldReader& in) override;
};

#endif
