#ifndef QUICKTIMEFILE_H
#define QUICKTIMEFILE_H

#include "quicktimeatom.h"

#include <QDataStream>
#include <QString>

class QIODevice;

QTLIB_BEGIN_NAMESPACE

class QuickTimeMovieDataAtom;

// The movie file object of one recording: its device, the recording's
// settings and frame map, and the tree of atoms rebuilt for it. The settings
// are public because the recovery code fills them and the atom constructors
// read them; all are zero after construction.
class QuickTimeFile
{
public:
    // Layout of an unfinished recording.
    static constexpr quint64 settingsOffset = Variant::settingsOffset;
    static constexpr quint64 settingsSize = Variant::settingsSize;
    static constexpr quint64 frameMapOffset = settingsOffset + settingsSize;
    static constexpr quint64 frameMapSize = 5472000;
    static constexpr quint32 frameMapCapacity = frameMapSize / 2;
    static constexpr quint64 mediaDataOffset = (frameMapOffset + Variant::mediaDataRoundingLead) / 512 * 512;
    static constexpr quint64 movieDataHeaderOffset = mediaDataOffset - 16;
    static constexpr int movieBufferSize = 131072;

    // Kinds of frame map entries (bits 15-14).
    enum FrameKind { AudioChunk = 0, VideoFrame = 1, TimecodeSample = 2, UnusedKind = 3 };

#if QTLIB_VARIANT_TOLVAN
    explicit QuickTimeFile(QIODevice* device);
#else
    QuickTimeFile(QIODevice* device, quint8* frameMap);
#endif
    virtual ~QuickTimeFile();

    // Writes `lead` and then the tree under root at the device's current
    // position, in one run through a buffered device, so that the first write
    // to reach the disk already holds the start of the movie atom; false when
    // any of it failed to reach the device.
    bool writeMovie(const QByteArray& lead = QByteArray());
    // True when the recorder left its movie data atom open (u32 1, 'mdat', u64 16).
    bool hasOpenMovieDataAtom();
    // Reads the settings block into this object; null when it cannot be read.
    RecoverySettings* readRecoverySettings();
    // Attaches a skip atom to parent, sized so that a table starting `lead`
    // bytes after it starts on a 512-byte boundary of the file.
    void addAlignmentSkip(QuickTimeAtom* parent, quint64 lead);

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

    // Entry `index` of the frame map; false past the counted entries.
    bool frameMapEntry(quint32 index, int* kind = nullptr, quint32* size = nullptr) const;
    // Counted entries: videoFrameCount + audioChunkCount + timecodeSampleCount,
    // never more than the frame map holds.
    quint32 frameMapEntryTotal() const;
    // Entries from the first to the last counted one, kind 3 ones between
    // them included: the part of the map that the table walks cover.
    quint32 frameMapSpan() const;

    void setFrameRate(quint32 rate);
    void setAudioSampleRate(int rate);
    void setBytesPerSample(int bytes);
    void setTimecode(quint32 value, quint8 dropFrame, quint8 counter);
    void setSummary(quint32 value1, quint32 value2, quint32 value3, quint32 value4, quint32 value5,
        quint32 value6, quint32 value7, quint32 value8, quint32 value9);
    void summaryValues(quint32* value1 = nullptr, quint32* value2 = nullptr, quint32* value3 = nullptr,
        quint32* value4 = nullptr, quint32* value5 = nullptr, quint32* value6 = nullptr,
        quint32* value7 = nullptr, quint32* value8 = nullptr, quint32* value9 = nullptr) const;

    // A take's defaults before its settings are applied: picture, rate,
    // sound, timecode and reel, all counts 0, no atoms under root and an
    // empty movie data atom (the common part of prepareRecording).
    void resetForRecording();

    // Defined by each family's recovery code.
    bool prepareRecording();
    bool recoverMovie();
    bool buildMovieAtom();
#if QTLIB_VARIANT_TOLVAN
    bool completeMovie();
#else
    // Enters the timecode sample block in the frame map and places it at the
    // device's current position, which it moves past the block. The block
    // itself goes out as the lead of the movie's write (writeMovie).
    void appendTimecodeSample(quint32 frameNumber);
    // The 512-byte block of a timecode sample: the frame number, big-endian, then zeros.
    static QByteArray timecodeSampleBlock(quint32 frameNumber);

    // What the last appendTimecodeSample did. Its block lies where the
    // recorded media ends, which is further than where a walk of the frame
    // map places the block's entry when bytes lie between the last item and
    // that end; the timecode track's chunk offset is adjusted by the difference.
    struct AppendedTimecodeSample
    {
        enum class State { NotPlaced, Placed, NoRoomInFrameMap };
        State state = State::NotPlaced;
        quint64 blockOffset = 0;
        quint64 walkOffset = 0;
        QByteArray block;
    };
    AppendedTimecodeSample appendedTimecodeSample;
#endif

    QIODevice* device;
    QDataStream stream;
    QuickTimeAtom root;
    QuickTimeMovieDataAtom* movieDataAtom;
    // 5,472,000 bytes of little-endian 16-bit entries. In the Tolvan variant
    // the object owns it (allocate with new quint8[frameMapSize]; released
    // with delete[]); in the global variant the caller lends it.
    quint8* frameMap;
    RecoverySettings recoverySettings;

    quint16 width;
    quint16 height;
    quint32 avidCompressionId;
    quint32 interlaced;
    quint32 frameRate;
    quint32 videoSampleDuration;
    quint32 videoTimeScale;
    quint32 videoCodec;
    quint32 proResFlavour;
    quint32 audioSampleRate;
    quint32 audioBytesPerSample;
    quint32 audioChannelCount;
    quint32 audioSamplesPerChunk;
    quint32 videoSamplesPerChunk;
    quint8 dropFrame;
    quint8 timecodeCounter;
    quint32 startTimecode;
    quint32 vendorValues[9];
    QString reelName;
    quint32 audioLastChunkSamples;
    quint32 audioFirstChunkSamples;
    quint8 audioLittleEndian;
    quint64 recordedEnd;
    quint32 videoFrameCount;
    quint32 audioChunkCount;
    quint32 timecodeSampleCount;

    // Why recoverMovie refused the take before it wrote anything (the words
    // of the failure line, QuickTimeTakeBounds); null when it did not.
    const char* refusal;

private:
    Q_DISABLE_COPY(QuickTimeFile)
};

QTLIB_END_NAMESPACE

#endif
