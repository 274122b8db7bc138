#pragma once

#include <QtGlobal>

// Where a recorder puts things in an unfinished video take. Both families
// share the media offset and the open movie data header; they differ in the
// head before it.
namespace RecordingLayout {

constexpr qint64 blockSize = 512;

constexpr qint64 movieDataHeaderOffset = 5472240;
constexpr qint64 mediaOffset = 5472256;

constexpr int frameMapEntries = 2736000;
constexpr qint64 frameMapBytes = 5472000;

constexpr qint64 orlaSettingsOffset = 36;
constexpr int orlaSettingsSize = 120;
constexpr qint64 orlaFrameMapOffset = 156;
constexpr quint32 orlaUserDataSize = 5472220;

constexpr qint64 veskSettingsOffset = 20;
constexpr int veskSettingsSize = 108;
constexpr qint64 veskFrameMapOffset = 128;

// Length in whole blocks of an item of `bytes` bytes.
constexpr qint64 blocksFor(qint64 bytes) { return (bytes + blockSize - 1) / blockSize; }

} // namespace RecordingLayout
