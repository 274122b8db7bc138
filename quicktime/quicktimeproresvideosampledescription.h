#ifndef QUICKTIMEPRORESVIDEOSAMPLEDESCRIPTION_H
#define QUICKTIMEPRORESVIDEOSAMPLEDESCRIPTION_H

#include "quicktimevideosampledescription.h"

QTLIB_BEGIN_NAMESPACE

// A ProRes video description with its colour, field and pixel aspect
// extensions (and the clean aperture where the variant writes one).
class QuickTimeProResVideoSampleDescription : public QuickTimeVideoSampleDescription
{
public:
    explicit QuickTimeProResVideoSampleDescription(QuickTimeFile* file = nullptr);

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

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
    void writeExtensions(QDataStream& stream) override;
    bool readExtension(quint32 type, QuickTimeFieldReader& in) override;
};

QTLIB_END_NAMESPACE

#endif
