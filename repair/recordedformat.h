#ifndef RECORDEDFORMAT_H
#define RECORDEDFORMAT_H

#include <QString>
#include <QtGlobal>

class QIODevice;
class QuickTimeAtom;
class QuickTimeFile;
struct RecorderProfile;

// What a take holds, as a person or a script names it: its picture, sound,
// timecode and length. Read from an unfinished take's settings and counted
// items (what its repair writes), or from the atoms of a movie, whoever made
// it; the console's --check prints it.
struct RecordedFormat
{
    // The video's sample format ("apch", "AVdn", ...) and the name of its
    // compressor; both empty without video.
    QString codec;
    QString codecName;
    quint16 width = 0;
    quint16 height = 0;
    bool interlaced = false;
    // A frame lasts frameDuration / timeScale seconds.
    quint32 timeScale = 0;
    quint32 frameDuration = 0;
    quint64 frames = 0;

    // The sound: its tracks (a recorder writes one per channel), the
    // channels of them all, the rate and the bits of a sample.
    quint32 soundTracks = 0;
    quint32 channels = 0;
    quint32 sampleRate = 0;
    quint32 bitsPerSample = 0;

    // The start timecode as a player prints it and the reel; empty without.
    QString startTimecode;
    QString reel;

    double durationSeconds = 0;
    // Whether frames and duration were counted: a take's settings alone do
    // not say how long it is.
    bool lengthKnown = false;

    // The frame rate in frames a second, e.g. "25" or "23.976"; empty without video.
    QString rateText() const;
    // In a few words for a table: "Apple ProRes 422 HQ 1920x1080 25 fps,
    // 2 ch 48000 Hz 24-bit"; empty when nothing is known.
    QString summary() const;
    // The length as hours, minutes, seconds and milliseconds,
    // "00:02:00.000"; empty when it was not counted.
    QString durationText() const;

    // An unfinished take's settings with the items a repair keeps (the
    // file's counts), as its repair writes them into the movie.
    static RecordedFormat fromSettings(const QuickTimeFile& file);
    // What an unfinished take's settings alone say, before its frame map is
    // counted: the codec, picture, rate, sound and timecode the recorder was
    // set to, no length.
    static RecordedFormat asSet(const QuickTimeFile& file);
    // The same read from the settings block on `device`; empty when it
    // cannot be read or is out of any recorder's range.
    static RecordedFormat fromSettingsBlock(QIODevice* device, const RecorderProfile& profile);
    // A WAV take of `sampleBytes` bytes of samples.
    static RecordedFormat ofSound(quint16 channels, quint32 sampleRate, quint16 bitsPerSample, quint64 sampleBytes);
    // A movie's tree (`root` holds 'moov' among its children); the start
    // timecode is read from the first timecode sample on `device`.
    static RecordedFormat fromMovie(const QuickTimeAtom& root, QIODevice* device);

private:
    // The settings of `file` with the video, the sound and the timecode as
    // chosen, without frames or length.
    static RecordedFormat described(const QuickTimeFile& file, bool video, bool sound, bool timecode);
};

#endif
