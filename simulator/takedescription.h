#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct EncodedVideo;
struct VideoFormat;

enum class RecorderFamily { Orla, Vesk };

// The kind bits of a frame map entry.
enum class ItemKind : quint8 { AudioChunk = 0, VideoFrame = 1, TimecodeSample = 2, Unknown = 3 };

// What the settings block says about the end of the recorded media.
enum class RecordedEndMode {
    Zero,     // 0: "none recorded"; the repair then takes the end of the file
    MapEnd,   // the end of the last item in the media (torn and unlisted items included)
    ListedEnd, // the end of the last item the frame map lists: a recorder that
               // updates its end with its map lags behind the media with both
    Explicit  // TakeDescription::recordedEnd as given
};

// Fields of the recovery settings block, by name; RecordingHead knows where
// each lies in each family's block.
enum class SettingsField {
    VendorValue1, StartTimecode, DropFrame, VendorValue2, RecordedRate, VendorValue5,
    AudioChannelCount, AudioBytesPerSample, AudioSampleRate, ProgressiveSegmented,
    Width, Height, Interlaced, AvidCompressionId, VideoCodec, ProResFlavour,
    AudioLastChunkSamples, AudioFirstChunkSamples, RecordedEnd,
    AudioSamplesPerChunk, VideoSamplesPerChunk, // newer family only
    ReelName
};

// Overwrites one settings field after the block was laid out (the value is
// cut to the field's width, little-endian), as a hostile take holds.
struct SettingsPoke
{
    SettingsField field;
    quint64 value;
};

// Overwrites bytes of the finished file at an absolute offset (extending the
// file when it lies past the end), as a hostile take holds.
struct BytePoke
{
    qint64 offset;
    QByteArray bytes;
};

// Everything a recorder knew about one video take, and how its file should
// be laid out. Start from forFamily(), then setVideo() and setAudio(); every
// field can be changed afterwards.
//
// Note: a newer-family (Orla) take needs at least 30 frame
// map entries to be repaired at all.
struct TakeDescription
{
    RecorderFamily family = RecorderFamily::Orla;

    // Picture, as the settings block gives it.
    quint16 width = 1920;
    quint16 height = 1080;
    quint32 videoCodec = 1;          // 0 DNxHD, 1 ProRes 422 family, 2 ProRes 4444 family
    quint32 proResFlavour = 1;       // numbering differs per family: see codecNumbers()
    quint32 avidCompressionId = 1238;
    quint32 recordedRate = 2500;     // hundredths per second; the field rate when interlaced
    bool interlaced = false;
    bool progressiveSegmented = false;

    // The encoded frames, in recording order, and the md5 of each decoded frame.
    QList<QByteArray> videoFrames;
    QStringList videoFrameMd5;
    // Frames the recorder keeps back to back as one chunk. The older family's
    // repair always assumes 3; its block has no such field.
    quint32 videoSamplesPerChunk = 3;

    // Timecode.
    quint32 startTimecode = 0;       // frame number
    bool dropFrame = false;
    bool timecodeSampleInMap = true; // the recorder wrote a timecode sample item (first in the media)
    QByteArray reelName = "A001";    // up to 32 bytes; 32 leave no terminating zero

    // Audio: each chunk holds every channel, channel k starting at
    // k x audioBytesPerSample x (samples in that chunk).
    quint32 audioChannelCount = 0;
    quint32 audioBytesPerSample = 3;
    quint32 audioSampleRate = 48000;
    // Samples per channel in a full chunk. The older family's repair always
    // assumes 3072; its block has no such field.
    quint32 audioSamplesPerChunk = 2048;
    quint32 audioFirstChunkSamples = 0; // 0: the first chunk is a full one
    quint32 audioLastChunkSamples = 0;  // 0: the last chunk is a full one
    int audioChunkCount = 0;

    // Carried into the vendor atom by the repair; their meaning is the recorder's.
    quint32 vendorValue1 = 0x00000101;
    quint32 vendorValue2 = 0x00020002;
    quint32 vendorValue5 = 0x00000005;

    // Item order in the media. Empty: a timecode sample first (when
    // timecodeSampleInMap), then groups of videoSamplesPerChunk frames, each
    // followed by one audio chunk, while either lasts. An explicit order must
    // name exactly videoFrames.size() frames and audioChunkCount chunks; it
    // may hold any number of timecode samples and Unknown items (one block each).
    QList<ItemKind> itemOrder;

    RecordedEndMode recordedEndMode = RecordedEndMode::MapEnd;
    quint64 recordedEnd = 0;         // used when recordedEndMode is Explicit

    // Bytes after the media (a file the recorder had preallocated, or an old
    // take's leftovers): a non-zero pattern.
    qint64 trailingBytes = 0;

    // A torn tail: the last tornItems items of the map never reached the disk,
    // except the first of them, of which tornPartialBytes bytes did.
    int tornItems = 0;
    qint64 tornPartialBytes = 0;

    // A map that lags behind the media: the last unlistedItems items reached
    // the disk, but their entries still read 0, as the recorder had not yet
    // written them when the power failed. -1: the map was never written.
    int unlistedItems = 0;

    // Kind 3 entries of no length after the listed ones: the map of a short
    // take then reaches as far as a long take's, at no cost in media.
    int emptyEntries = 0;

    // Whole items behind the media and the trailing bytes' place: an older
    // take's frames on a card reused without erasing. Each is padded to
    // whole blocks; no entry lists them.
    QList<QByteArray> trailingItems;

    // Raw overrides for hostile takes; they change bytes only, never
    // the layout or the expectations the writer reports.
    QList<SettingsPoke> settingsPokes;
    QMap<int, quint16> frameMapPokes; // entry index -> raw 16-bit entry (may lie past the end of the map)
    QList<BytePoke> filePokes;        // applied last

    // A take with the family's own chunking: newer family 3 frames and 2048
    // samples per chunk with a timecode sample in the map; older family 3 and
    // 3072 (what its repair assumes) and no timecode sample (its repair adds one).
    static TakeDescription forFamily(RecorderFamily family);

    // Takes picture size, codec numbers, interlacing, rate, compression ID,
    // frames and their md5 from encoded source video.
    void setVideo(const EncodedVideo& video);

    // `count` stand-in video frames for takes no player decodes: frame i holds
    // firstBytes + i x growth bytes of its own value, and has no md5.
    void setStandInFrames(int count, int firstBytes, int growth = 1);

    // Audio of `channels` channels in `chunkCount` chunks.
    void setAudio(quint32 channels, quint32 bytesPerSample, int chunkCount,
                  quint32 firstChunkSamples = 0, quint32 lastChunkSamples = 0);

    // Samples per channel in audio chunk `chunk` (0-based): the first and last
    // chunk take their own counts when set (a single chunk takes the first count).
    quint32 samplesInAudioChunk(int chunk) const;
    qint64 audioSamplesPerChannel() const;

    // The movie timing the repair derives from recordedRate and interlaced.
    quint32 movieTimeScale() const;
    quint32 movieFrameDuration() const;

    // The order of the items in the media (itemOrder, or the default one).
    QList<ItemKind> resolvedItemOrder() const;

    // The settings block's codec numbers for a ProRes or DNxHD format in a family.
    static void codecNumbers(RecorderFamily family, const VideoFormat& format,
                             quint32* videoCodec, quint32* proResFlavour);

    // Hundredths per second for an ffmpeg frame rate ("24000/1001" -> 2398);
    // doubled to the field rate when interlaced ("30000/1001" -> 5994).
    static quint32 recordedRateFor(const QString& frameRate, bool interlaced);
};
