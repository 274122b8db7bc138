#ifndef QUICKTIMEFILE_H
#define QUICKTIMEFILE_H

#include "framemap.h"
#include "quicktimeatom.h"
#include "quicktimeatom64.h"
#include "recorderprofile.h"
#include "takeitems.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

class QIODevice;

// The movie file object of one take being repaired: its device, its
// family's profile, the settings as applied, the frame map and the tree of
// atoms rebuilt for it. The settings are public: the family code fills
// them and the track builder reads them; every one of them comes from the
// take's settings block before anything reads it.
class QuickTimeFile
{
public:
    // Where the recorder leaves the open movie data header, right before the
    // media, in takes of both families.
    static constexpr quint64 mediaDataOffset = FrameMap::mediaStart;
    static constexpr quint64 movieDataHeaderOffset = mediaDataOffset - 16;
    static constexpr int movieBufferSize = 131072;

    // `frameMapBuffer` (FrameMap::byteSize bytes) is lent by the caller; may be null.
    QuickTimeFile(QIODevice* device, const RecorderProfile& profile, quint8* frameMapBuffer);

    // True when the recorder left its movie data atom open (u32 1, 'mdat', u64 16).
    bool hasOpenMovieDataAtom();
    // Reads the settings block into recoverySettings; false when it cannot be read.
    bool readRecoverySettings();
    void setFrameRate(quint32 rate);


    // Writes `lead` and then the tree under root at the device's current
    // position, in one run through a buffered device, so that the first write
    // to reach the disk already holds the start of the movie atom; false when
    // any of it failed to reach the device.
    bool writeMovie(const QByteArray& lead = QByteArray());
    // Writes the movie data header with its real size at its place and syncs
    // it: the commit of a repair, its last write.
    bool commitMovieData();
    // Notes that a write of the repair did not reach the device and returns
    // false. The take stays repairable by a later run when its movie data
    // header still reads open (the repair is redone) or reads as this repair
    // commits it (a later run finishes it); anything else, a header only
    // partly written, is not.
    bool writeFailed();
    bool repairableAfterWriteFailure = false;
    // Why that write failed, in plain words.
    QString writeProblem;

    QIODevice* device;
    QDataStream stream;
    const RecorderProfile& profile;
    FrameMap frameMap;
    QuickTimeAtom root;
    QuickTimeAtom64 movieDataAtom;
    QByteArray recoverySettings;

    quint16 width = 0;
    quint16 height = 0;
    quint32 avidCompressionId = 0;
    quint32 interlaced = 0;
    quint32 frameRate = 0;
    quint32 videoSampleDuration = 0;
    quint32 videoTimeScale = 0;
    quint32 videoCodec = 0;
    quint32 proResFlavour = 0;
    quint32 audioSampleRate = 0;
    quint32 audioBytesPerSample = 0;
    quint32 audioChannelCount = 0;
    quint32 audioSamplesPerChunk = 0;
    // The bytes `samples` samples of every channel take in a sound chunk.
    quint64 soundChunkBytes(quint32 samples) const { return quint64(audioChannelCount) * audioBytesPerSample * samples; }
    quint32 videoSamplesPerChunk = 0;
    quint8 dropFrame = 0;
    quint8 timecodeCounter = 0;
    quint32 startTimecode = 0;
    quint32 vendorValues[9] = {};
    QString reelName;
    quint32 audioLastChunkSamples = 0;
    quint32 audioFirstChunkSamples = 0;
    // The recorders write their samples little-endian; no settings field says so.
    quint8 audioLittleEndian = 1;
    quint64 recordedEnd = 0;
    quint32 videoFrameCount = 0;
    quint32 audioChunkCount = 0;
    quint32 timecodeSampleCount = 0;
    // How far into the frame map the counted items reach (kind 3 entries
    // among them included), which bounds every table walk, and where the
    // media after them begins.
    quint32 walkLimit = 0;
    quint64 walkEnd = FrameMap::mediaStart;

    // The items as placement counted them, for the take's result.
    TakeItems items;

    // What the repair writes right before the movie (the older family's
    // timecode sample) and where; empty for none.
    QByteArray lead;
    quint64 leadOffset = 0;
    // How far past the place the frame map walk gives it the last timecode
    // sample lies (an appended one, written where the media really ends).
    quint64 lastTimecodeAdjustment = 0;

    // Why the take was refused before anything was written (the words of the
    // failure line); null when it was not.
    const char* refusal = nullptr;
    // The whole items of a take with fewer than its recorder ever writes;
    // -1 when it has enough.
    qint64 itemsBelowMinimum = -1;

private:
    Q_DISABLE_COPY(QuickTimeFile)
};

#endif
