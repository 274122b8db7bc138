#ifndef QUICKTIMEAVIDVIDEOSAMPLEDESCRIPTION_H
#define QUICKTIMEAVIDVIDEOSAMPLEDESCRIPTION_H

#include "quicktimevideosampledescription.h"

QTLIB_BEGIN_NAMESPACE

// A DNxHD video description with the Avid colour, programme and resolution
// extensions.
class QuickTimeAvidVideoSampleDescription : public QuickTimeVideoSampleDescription
{
public:
    // One extension: its own tag, its version tag and the values that follow.
    struct Extension
    {
        quint32 tag;
        quint32 versionTag;
        quint32 values[6];
    };

    explicit QuickTimeAvidVideoSampleDescription(QuickTimeFile* file = nullptr);

    Extension colorExtension; // ACLR: 2 values
    Extension programExtension; // APRG: 2 values
    Extension resolutionExtension; // ARES: compression ID, width, height, fields, 0, format; 80 zero bytes

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
    void writeExtensions(QDataStream& stream) override;
    bool readExtension(quint32 type, QuickTimeFieldReader& in) override;
};

QTLIB_END_NAMESPACE

#endif
