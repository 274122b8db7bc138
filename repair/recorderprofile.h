#ifndef RECORDERPROFILE_H
#define RECORDERPROFILE_H

#include "recoverysettings.h"

#include <QIODevice>
#include <QtGlobal>

// One ProRes codec choice of a recorder: the first row whose codec and
// flavour match wins; -1 matches any value.
struct ProResChoice
{
    qint64 codec;
    qint64 flavour;
    quint32 format;
    const char* compressorName;
};

// Pixel aspect and clean aperture of one picture size.
struct PictureAspect
{
    quint16 width;
    quint16 height;
    quint32 pixelAspect[2];
    quint32 cleanAperture[8];
};

// The picture sizes the recorders know, with their pixel aspect and clean
// aperture; the older family's recorders know the first nine.
inline constexpr PictureAspect recorderPictureAspects[] = {
    { 720, 480, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 486, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 576, { 59, 54 }, { 41472, 59, 576, 1, 0, 1, 0, 1 } },
    { 960, 720, { 1, 1 }, { 936, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1296, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 1080, { 1, 1 }, { 3776, 3, 1062, 1, 0, 1, 0, 1 } },
    { 1440, 1080, { 1, 1 }, { 1416, 1, 1062, 1, 0, 1, 0, 1 } },
    { 1920, 1080, { 1, 1 }, { 1888, 1, 1062, 1, 0, 1, 0, 1 } },
    { 3840, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
    { 4096, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
};

// What a recorder family's movies differ in, as data: where its settings
// block lies, how it names ProRes, its picture table, and a few habits of
// the tool that first repaired its takes. Each family folder defines one.
struct RecorderProfile
{
    quint64 settingsOffset;
    RecoverySettingsLayout settings;
    // How the buffered device that writes the movie is opened.
    QIODevice::OpenMode movieOpenMode;
    // Whether each chunk offset table names itself in debug lines as it streams.
    bool announcesChunkOffsetStreaming;
    bool writesCleanAperture;
    bool editListPerTrack;
    const ProResChoice* proResChoices;
    int proResChoiceCount;
    const PictureAspect* pictureAspects;
    int pictureAspectCount;

    quint64 frameMapOffset() const { return settingsOffset + quint64(settings.size); }

    // The choice for a take's codec and flavour (the last row catches all).
    const ProResChoice& proResChoice(qint64 codec, qint64 flavour) const
    {
        for (int i = 0; i < proResChoiceCount; ++i) {
            const ProResChoice& choice = proResChoices[i];
            if ((choice.codec < 0 || choice.codec == codec) && (choice.flavour < 0 || choice.flavour == flavour))
                return choice;
        }
        return proResChoices[proResChoiceCount - 1];
    }

    // The row of a picture size; null for a size the recorder does not know.
    const PictureAspect* pictureAspect(quint16 width, quint16 height) const
    {
        for (int i = 0; i < pictureAspectCount; ++i) {
            if (pictureAspects[i].width == width && pictureAspects[i].height == height)
                return &pictureAspects[i];
        }
        return nullptr;
    }
};

#endif
