#ifndef TRACKBUILDER_H
#define TRACKBUILDER_H

#include "framemap.h"

class QuickTimeAtom;
class QuickTimeChunkOffsetAtom;
class QuickTimeFile;
class QuickTimeSampleDescriptionAtom;
class QuickTimeSampleSizeAtom;
class QuickTimeSampleToChunkAtom;
class QuickTimeTimeToSampleAtom;
struct MovieTiming;

// The parts of a rebuilt movie that both recorder families' trees share.
// Each call attaches its atoms at once, in file order, so every atom's
// offset is final when the next one is placed (the alignment skips rely on it).
//
//   moov = addMovie(...)                    moov / udta / vrln, mvhd
//   trak = addTrack(moov, ...)              trak / tkhd
//   (a family may add an edit list here)
//   addTimecodeMedia, addVideoMedia or addSoundMedia: the track's media,
//   from its header to its sample tables, which point at the items of the
//   take's frame map.
class TrackBuilder
{
public:
    explicit TrackBuilder(QuickTimeFile& file);

    // The movie atom, placed at the device's position under the file's root,
    // with its user data (the vendor atom) and its header; the tracks follow.
    QuickTimeAtom* addMovie(quint32 duration);
    // A track with its header: full volume, the given picture size (0 for
    // tracks without a picture).
    QuickTimeAtom* addTrack(QuickTimeAtom* movie, quint32 trackId, quint32 duration, quint16 width = 0,
        quint16 height = 0);

    // The timecode track's media. The first sample times the whole movie, any
    // later one (a recorder writes one) lasts no time, so the time table
    // counts every sample the size and offset tables list.
    void addTimecodeMedia(QuickTimeAtom* track, quint32 duration);
    // A video track's media: the description the recorded codec asks for
    // (none for a codec the recorder did not name) and the frame tables.
    void addVideoMedia(QuickTimeAtom* track, const MovieTiming& timing);
    // The media of the mono sound track of `channel`: channel k starts k
    // channel blocks into each chunk.
    void addSoundMedia(QuickTimeAtom* track, quint32 channel, const MovieTiming& timing);

    static constexpr quint16 fullVolume = 256;

private:
    enum class TableAlignment { Unaligned, Aligned };

    QuickTimeAtom* addMedia(QuickTimeAtom* track, quint32 timeScale, quint32 duration, quint32 handlerSubtype);
    QuickTimeAtom* addDataReference(QuickTimeAtom* mediaInformation);
    void addSampleTables(QuickTimeAtom* sampleTable, QuickTimeTimeToSampleAtom* timeToSample,
        QuickTimeSampleToChunkAtom* sampleToChunk, QuickTimeSampleSizeAtom* sampleSizes,
        QuickTimeChunkOffsetAtom* chunkOffsets, TableAlignment alignment);
    QuickTimeChunkOffsetAtom* chunkOffsets(FrameMap::Kind kind, const FrameMap::Chunking& chunking,
        FrameMap::ItemStarts starts = nullptr) const;
    // A skip atom sized so that a table starting `lead` bytes after it starts
    // on a 512-byte boundary of the file.
    void addAlignmentSkip(QuickTimeAtom* parent, quint64 lead);
    void addVideoDescription(QuickTimeSampleDescriptionAtom* descriptions);

    QuickTimeFile& file;
    // The table walks cover the map up to the last counted entry; the
    // vendor atom's copy runs as far, kind 3 entries among them included.
    quint32 walkLimit;
    // Where the sound chunks start, walked once for all channels' tracks.
    FrameMap::ItemStarts soundChunkStarts;
};

#endif
