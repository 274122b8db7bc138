#ifndef RECORDERPROFILE_H
#define RECORDERPROFILE_H

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

// What a recorder family's movies differ in, as data: where its settings
// block lies, how it names ProRes, its picture table, and a few habits of
// the tool that first repaired its takes. Each family folder defines one.
struct RecorderProfile
{
    quint64 settingsOffset;
    int settingsSize;
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

    quint64 frameMapOffset() const { return settingsOffset + quint64(settingsSize); }

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
