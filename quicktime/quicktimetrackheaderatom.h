#ifndef QUICKTIMETRACKHEADERATOM_H
#define QUICKTIMETRACKHEADERATOM_H

#include "quicktimeversionflagsatom.h"

// 'tkhd': identity, duration, volume and picture size of one track; flags 15
// (enabled, in movie, in preview, in poster).
class QuickTimeTrackHeaderAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeTrackHeaderAtom(quint32 trackId = 0, quint32 duration = 0,
        quint16 width = 0, quint16 height = 0, quint16 volume = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 creationTime;
    quint32 modificationTime;
    quint32 trackId;
    quint32 reserved1;
    quint32 duration;
    quint8 reserved2[8];
    quint16 layer;
    quint16 alternateGroup;
    quint16 volume;
    quint16 reserved3;
    quint32 matrix[9];
    quint32 width; // 16.16
    quint32 height; // 16.16

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
