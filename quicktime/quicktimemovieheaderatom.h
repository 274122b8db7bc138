#ifndef QUICKTIMEMOVIEHEADERATOM_H
#define QUICKTIMEMOVIEHEADERATOM_H

#include "quicktimeversionflagsatom.h"

// 'mvhd': time scale and duration of the whole movie.
class QuickTimeMovieHeaderAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeMovieHeaderAtom(quint32 timeScale = 0, quint32 duration = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 creationTime;
    quint32 modificationTime;
    quint32 timeScale;
    quint32 duration;
    quint32 preferredRate;
    quint16 preferredVolume;
    quint8 reserved[10];
    quint32 matrix[9];
    quint32 previewTime;
    quint32 previewDuration;
    quint32 posterTime;
    quint32 selectionTime;
    quint32 selectionDuration;
    quint32 currentTime;
    quint32 nextTrackId;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
