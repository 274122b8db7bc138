#ifndef QUICKTIMEAVIDVIDEOSAMPLEDESCRIPTION_H
#define QUICKTIMEAVIDVIDEOSAMPLEDESCRIPTION_H

#include "quicktimevideosampledescription.h"

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

    QuickTimeAvidVideoSampleDescription(quint16 width = 1920, quint16 height = 1080, bool interlaced = false,
        quint32 compressionId = 1238);

    Extension colorExtension; // ACLR: 2 values
    Extension programExtension; // APRG: 2 values
    Extension resolutionExtension; // ARES: compression ID, width, height, fields, 0, format; 80 zero bytes

    void describeFields(QuickTimeFieldList& fields) const override;

protected:
    void writeExtensions(QDataStream& stream) override;
    bool readExtension(quint32 type, QuickTimeFieldReader& in) override;
};

#endif
