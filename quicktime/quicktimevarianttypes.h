#ifndef QUICKTIMEVARIANTTYPES_H
#define QUICKTIMEVARIANTTYPES_H

#include <QtGlobal>

// Row types of the per-variant tables in variant.h. They carry no behaviour,
// so both variants share one definition.

// One ProRes codec choice: the first row whose codec and flavour match wins;
// -1 matches any value.
struct QuickTimeProResChoice
{
    qint64 codec;
    qint64 flavour;
    quint32 format;
    const char* compressorName;
};

// Pixel aspect and clean aperture of one picture size.
struct QuickTimePictureAspect
{
    quint16 width;
    quint16 height;
    quint32 pixelAspect[2];
    quint32 cleanAperture[8];
};

#endif
