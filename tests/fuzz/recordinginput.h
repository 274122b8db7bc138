#ifndef RECORDINGINPUT_H
#define RECORDINGINPUT_H

#include "takedescription.h"

#include <QByteArray>

// A fuzz input made into an unfinished video take of one family, the head
// as a recorder lays it out (RecordingHead) with the input's settings block
// and frame map, then a little media. The frame map's 2,736,000 entries are
// described compactly, so that a short input still reaches a full map:
//
//   settings block     the family's 120 or 108 bytes, as they stand in the head
//   u8  shape          bit 0: the movie data header is closed, sized to the media
//                      bit 1: recordedEnd is moved inside the media, to the
//                             point its value gives modulo the media length + 1
//   u16 fill entry     repeated after the leading entries
//   u32 fill count     bits 31-5 shifted right by bits 4-0: most runs are
//                      short, and a full map is still one input away
//   u32 media length   bytes of media after the head, at most mostMedia
//   u16 leading count  entries before the fill; the input's later entries follow it
//   u16 entries        to the end of the input
//
// Everything is little-endian; missing bytes read as zero, and entries that
// would not fit the map are dropped.
struct RecordingInput
{
    static constexpr qint64 mostMedia = 1 << 20;

    // The whole file.
    static QByteArray decode(const QByteArray& input, RecorderFamily family);
};

#endif
