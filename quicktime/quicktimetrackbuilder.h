#ifndef QUICKTIMETRACKBUILDER_H
#define QUICKTIMETRACKBUILDER_H

#include "variant.h"

QTLIB_BEGIN_NAMESPACE

class QuickTimeAtom;
class QuickTimeChunkOffset64Atom;
class QuickTimeFile;
class QuickTimeMediaInformationAtom;
struct QuickTimeMovieTiming;
class QuickTimeSampleSizeAtom;
class QuickTimeSampleTableAtom;
class QuickTimeSampleToChunkAtom;
class QuickTimeTimeToSampleAtom;
class QuickTimeTrackAtom;

// The parts of a rebuilt track that both recorder families' movies share.
// Each call attaches its atoms at once, in file order, so every atom's
// offset is final when the next one is placed (the alignment skips rely on it).
//
//   trak = addTrack(moov, ...)              trak / tkhd
//   (a family may add an edit list here)
//   minf = addMedia(trak, ...)              mdia / mdhd, hdlr, minf
//   (the media information header: vmhd, smhd or gmhd)
//   stbl = addDataReference(minf)           hdlr 'dhlr', dinf / dref, stbl
//   (the sample description atom)
//   addSampleTables(stbl, ...)              stts, stsc, [skip], stsz, [skip], co64
//
// The media of a video or sound track is the same in both families' movies:
// addVideoMedia and addSoundMedia build all of it after the track header
// (and a family's edit list); addTimecodeMedia all but the timecode tables.
class QuickTimeTrackBuilder
{
public:
    // Whether the sample size and chunk offset tables start on a 512-byte
    // boundary of the file (video and sound tracks) or not (timecode track).
    enum class TableAlignment { Unaligned, Aligned };

    explicit QuickTimeTrackBuilder(QuickTimeFile* file);

    // The movie atom, placed at the device's position under the file's root,
    // with its user data (the vendor atom) and its header; the tracks follow.
    QuickTimeAtom* addMovie(quint32 duration);

    // A track with its header: full volume, the given picture size (0 for
    // tracks without a picture).
    QuickTimeTrackAtom* addTrack(QuickTimeAtom* movie, quint32 trackId, quint32 duration,
        quint16 width = 0, quint16 height = 0);
    // The track's media: its header, its media handler ('mhlr' with
    // `handlerSubtype`) and its still empty media information, returned.
    QuickTimeMediaInformationAtom* addMedia(QuickTimeAtom* track, quint32 timeScale, quint32 duration,
        quint32 handlerSubtype);
    // The data handler, the data reference to this same file and the still
    // empty sample table, returned.
    QuickTimeSampleTableAtom* addDataReference(QuickTimeAtom* mediaInformation);
    // The four tables after the sample description, taking ownership of them.
    void addSampleTables(QuickTimeAtom* sampleTable, QuickTimeTimeToSampleAtom* timeToSample,
        QuickTimeSampleToChunkAtom* sampleToChunk, QuickTimeSampleSizeAtom* sampleSizes,
        QuickTimeChunkOffset64Atom* chunkOffsets, TableAlignment alignment);

    // A timecode track's media up to its sample description, which names the
    // reel inside the timecode description; the sample table is returned
    // for the family's tables.
    QuickTimeSampleTableAtom* addTimecodeMedia(QuickTimeAtom* track, quint32 duration);
    // The timecode track's time-to-sample table: the first sample times the
    // whole movie, any later one (a recorder writes one) lasts no time, so
    // the table counts every sample the size and offset tables list.
    QuickTimeTimeToSampleAtom* timecodeTimes(quint32 samples, quint32 duration) const;
    // A video track's media: the description the recorded codec asks for
    // (none for a codec the recorder did not name) and the frame tables.
    void addVideoMedia(QuickTimeAtom* track, const QuickTimeMovieTiming& timing);
    // The media of the mono sound track of `channel`: channel k starts k
    // channel blocks into each chunk.
    void addSoundMedia(QuickTimeAtom* track, quint32 channel, const QuickTimeMovieTiming& timing);

    static constexpr quint16 fullVolume = 256;
    // Bytes from the start of each table atom to its first table entry.
    static constexpr quint64 sampleSizeTableLead = 20;
    static constexpr quint64 chunkOffsetTableLead = 16;

private:
    QuickTimeFile* file;
};

QTLIB_END_NAMESPACE

#endif
