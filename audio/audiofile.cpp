#include "audiofile.h"

#include "filesync.h"
#include "riffchunkheader.h"

#include <QDebug>
#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {


constexpr quint64 firstChunkPos = 12;
// No recorder writes more than a handful of chunks before data; a file that
// has thousands is not a take, and walking it would only take long.
constexpr int maxChunksBeforeData = 4096;
// The RIFF size (file length - 8) is the larger of the two sizes written;
// dataStart has to fit as well.
constexpr quint64 largestFieldValue = 0xFFFFFFFFu;
constexpr quint64 largestRepairableFile = largestFieldValue + 8;

constexpr quint16 formatTagPcm = 0x0001;
constexpr quint16 formatTagMpeg = 0x0050;
constexpr quint16 formatTagExtensible = 0xFFFE;
constexpr quint32 plainFormatSize = 16;
constexpr quint32 extendedFormatSize = 20;
constexpr quint32 formatCoreSize = 18;             // up to and including the extension size
constexpr quint16 mpegExtensionSize = 24;
constexpr quint32 mpegFormatSize = extendedFormatSize + mpegExtensionSize;
constexpr quint16 extensibleExtensionSize = 22;
constexpr quint16 mpegLayer2 = 2;
constexpr quint16 mpegLayer3 = 4;

quint16 u16At(const char* bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes + offset);
}

} // namespace

AudioFile::AudioFile(QIODevice* device)
    : device(device)
{
}

AudioFile::~AudioFile() = default;

int AudioFile::parse()
{
    const int result = parseHeaderAndChunks();
    if (result != Success) {
        // repairSizes() writes only behind a successful parse.
        dataStart = 0;
    }
    return result;
}

int AudioFile::parseHeaderAndChunks()
{
    formatKind = Unrecognised;
    dataStart = 0;
    broadcastWave = false;

    char header[12];
    if (const int result = seekTo(0); result != Success)
        return result;
    if (const int result = readBytes(header, sizeof header); result != Success)
        return result;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return UnsupportedFormat;
    // Refused before anything else is read: the sizes a repair writes would wrap around.
    if (quint64(device->size()) > largestRepairableFile)
        return refuseTooLarge();

    if (const int result = walkChunks(); result != Success)
        return result;
    if (formatKind == MpegLayer3 || formatKind == MpegLayer2)
        return UnsupportedFormat;
    return Success;
}

int AudioFile::walkChunks()
{
    const quint64 fileSize = quint64(device->size());
    bool formatSeen = false;
    nextChunkPos = firstChunkPos;
    // Every chunk moves the walk forward by at least its header, and never
    // past the end of the file, so the walk ends.
    for (int chunkCount = 0; chunkCount < maxChunksBeforeData; ++chunkCount) {
        char headerBytes[RiffChunkHeader::byteCount];
        if (const int result = readChunkHeaderAt(nextChunkPos, headerBytes); result != Success)
            return result;
        const RiffChunkHeader header(headerBytes);

        // The first data chunk ends the walk whatever its size: beyond it lie
        // samples, and a size of 0 marks the open chunk of an unfinished take.
        if (header.hasId("data")) {
            const quint64 samplesStart = nextChunkPos + RiffChunkHeader::byteCount;
            if (samplesStart > largestFieldValue)
                return refuseTooLarge();
            dataStart = quint32(samplesStart);
            dataSize = header.payloadSize();
            return formatSeen ? Success : NoFormatChunk;
        }

        const quint64 chunkEnd = nextChunkPos + RiffChunkHeader::byteCount + header.payloadSize();
        if (chunkEnd > fileSize)
            return IoFailure;

        // Of the chunks before data only the format matters to the repair;
        // bext, iXML and the rest are stepped over.
        broadcastWave = broadcastWave || header.hasId("bext");
        if (header.hasId("fmt ")) {
            if (const int result = readFormat(header.payloadSize()); result != Success)
                return result;
            formatSeen = true;
        }

        nextChunkPos = header.payloadSize() % 2 ? positionAfterOddChunk(chunkEnd, fileSize) : chunkEnd;
    }
    return IoFailure;
}

// RIFF asks for a pad byte after an odd-sized chunk, but some writers leave
// it out. The byte after the chunk is taken as a pad byte only when no
// plausible chunk header starts there but one starts right behind it.
quint64 AudioFile::positionAfterOddChunk(quint64 chunkEnd, quint64 fileSize)
{
    if (!plausibleChunkHeaderAt(chunkEnd, fileSize) && plausibleChunkHeaderAt(chunkEnd + 1, fileSize))
        return chunkEnd + 1;
    return chunkEnd;
}

bool AudioFile::plausibleChunkHeaderAt(quint64 position, quint64 fileSize)
{
    char bytes[RiffChunkHeader::byteCount];
    if (position + RiffChunkHeader::byteCount > fileSize
        || readChunkHeaderAt(position, bytes) != Success)
        return false;
    return RiffChunkHeader(bytes).isPlausibleAt(position, fileSize);
}

int AudioFile::readChunkHeaderAt(quint64 position, char* bytes)
{
    if (quint64(device->pos()) != position) {
        if (const int result = seekTo(qint64(position)); result != Success)
            return result;
    }
    return readBytes(bytes, RiffChunkHeader::byteCount);
}

int AudioFile::readFormat(quint32 size)
{
    char format[mpegFormatSize];
    if (size == plainFormatSize) {
        if (const int result = readBytes(format, plainFormatSize); result != Success)
            return result;
        if (u16At(format, 0) != formatTagPcm)
            return UnsupportedFormat;
    } else if (size >= extendedFormatSize) {
        if (const int result = readBytes(format, extendedFormatSize); result != Success)
            return result;
    } else {
        return UnsupportedFormat;
    }

    const quint16 formatTag = u16At(format, 0);
    channelCount = u16At(format, 2);
    sampleRate = quint32(u16At(format, 4)) | quint32(u16At(format, 6)) << 16;
    bitsPerSample = u16At(format, 14);
    if (formatTag == formatTagPcm) {
        formatKind = Pcm;
        return Success;
    }

    // Beyond PCM the extension size counts the bytes that follow it; a
    // chunk that holds fewer than it declares is damaged.
    const quint16 extensionSize = u16At(format, 16);
    if (formatCoreSize + extensionSize > size)
        return UnsupportedFormat;
    if (formatTag == formatTagExtensible && extensionSize < extensibleExtensionSize)
        return UnsupportedFormat;
    if (formatTag != formatTagMpeg)
        return Success;

    if (extensionSize == mpegExtensionSize) {
        // The layer word lies 20 bytes in, so this read needs 44 bytes of chunk.
        if (size < mpegFormatSize)
            return UnsupportedFormat;
        if (const int result = readBytes(format + extendedFormatSize, mpegExtensionSize); result != Success)
            return result;
        const quint16 layer = u16At(format, extendedFormatSize);
        if (layer == mpegLayer2)
            formatKind = MpegLayer2;
        else if (layer == mpegLayer3)
            formatKind = MpegLayer3;
    }
    return Success;
}

int AudioFile::repairSizes(bool* sizesWritten)
{
    if (sizesWritten)
        *sizesWritten = false;
    // dataStart is only set by a successful parse.
    if (dataStart < firstChunkPos + RiffChunkHeader::byteCount)
        return IoFailure;
    const quint64 size = quint64(device->size());
    if (size > largestRepairableFile)
        return refuseTooLarge();
    if (size < dataStart)
        return IoFailure;

    // Read the data header again: the size is written only into the very
    // chunk the walk found, and only while it is still open.
    char headerBytes[RiffChunkHeader::byteCount];
    if (const int result = readChunkHeaderAt(dataStart - RiffChunkHeader::byteCount, headerBytes); result != Success)
        return result;
    const RiffChunkHeader header(headerBytes);
    if (!header.hasId("data"))
        return IoFailure;
    if (header.payloadSize() != 0)
        return Success;

    // The data size is what marks a take unfinished, so it is written last,
    // after the RIFF size is on the device: a repair cut short at any point
    // leaves the data size 0, and the next run repairs the take again.
    if (sizesWritten)
        *sizesWritten = true;
    if (const int result = writeSizeField(4, quint32(size - 8)); result != Success)
        return result;
    return writeSizeField(dataStart - 4, quint32(size - dataStart));
}

int AudioFile::writeSizeField(qint64 position, quint32 value)
{
    char field[4];
    qToLittleEndian<quint32>(value, field);
    if (const int result = seekTo(position); result != Success)
        return result;
    if (const int result = writeBytes(field, sizeof field); result != Success)
        return result;
    return syncToDevice(device) ? Success : IoFailure;
}

int AudioFile::seekTo(qint64 position)
{
    return device->seek(position) ? Success : IoFailure;
}

int AudioFile::readBytes(char* buffer, qint64 count)
{
    return device->read(buffer, count) == count ? Success : IoFailure;
}

int AudioFile::writeBytes(const char* buffer, qint64 count)
{
    return device->write(buffer, count) == count ? Success : IoFailure;
}

int AudioFile::refuseTooLarge() const
{
    // A file's own name when the device is one; the flows name the file in
    // their failure lines.
    const QFileDevice* file = qobject_cast<const QFileDevice*>(device);
    const QString name = file ? file->fileName() : QString();
    qDebug("********************* %s recovery failed, file over 4 GiB, too large for WAV sizes!\n",
           qUtf8Printable(name));
    return FileTooLarge;
}
