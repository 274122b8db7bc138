#pragma once

#include "takedescription.h"

#include <QByteArray>
#include <QList>

// The head a recorder lays out before the first item of a video take: the
// file type atom, the recovery settings block, the frame map and the open
// movie data header, 5,472,256 bytes in all.
//
//   newer (Orla):  ftyp (size 20) | udta header (size 5,472,220) | urec (size 8)
//                  | settings, 120 bytes at 36 | frame map at 156 | ... | mdat header at 5,472,240
//   older (Vesk):  ftyp whose size field reads 5,472,240 | settings, 108 bytes at 20
//                  | frame map at 128 | ... | mdat header at 5,472,240
class RecordingHead
{
public:
    // Where a settings field lies inside its family's block; offset -1 when
    // the family's block has no such field.
    struct FieldPlace
    {
        int offset;
        int width;
    };
    static FieldPlace fieldPlace(RecorderFamily family, SettingsField field);

    static qint64 settingsOffset(RecorderFamily family);
    static int settingsSize(RecorderFamily family);
    static qint64 frameMapOffset(RecorderFamily family);

    // The 16-bit frame map entry of an item: kind in bits 15-14, length in
    // 512-byte blocks in bits 13-0.
    static quint16 frameMapEntry(ItemKind kind, qint64 blocks);

    // The settings block of a take with `recordedEnd` in it, pokes applied.
    static QByteArray settingsBlock(const TakeDescription& take, quint64 recordedEnd);

    // The whole head: settings block and frame map entries (little-endian)
    // in place, frame map pokes applied, the rest of the reserved room zero.
    static QByteArray head(const TakeDescription& take, const QByteArray& settings,
                           const QList<quint16>& frameMap);
};
