#include "earlierrepair.h"

#include "quicktimefile.h"
#include "framemap.h"
#include "quicktimevelloranatom.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>
#include <memory>
#include <new>

namespace {

using Form = EarlierRepair::Form;

constexpr qint64 scanBlock = 1 << 20;

quint32 u32At(const QByteArray& bytes, int offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

// Whether a movie that `form` begins at `start` is the one this recording's
// repair writes there: its lead, the movie, user data and vendor atoms nested
// as the rebuild nests them, and the vendor atom's counts, interlace flag and
// vendor values those of this take with its media ending at `start`.
bool beginsAt(const QuickTimeFile& file, quint64 start, const Form& form, const FrameMap::Count& listed,
    FrameMap::Count& whole)
{
    QIODevice* device = file.device;
    const qint64 lead = form.lead.size();
    const qint64 length = lead + EarlierRepair::signatureBytes;
    // Compared unsigned: a recorded end from a damaged head can be any 64 bits.
    const quint64 size = quint64(qMax<qint64>(device->size(), 0));
    if (start < FrameMap::mediaStart || start > size || size - start < quint64(length)
        || !device->seek(qint64(start)))
        return false;
    const QByteArray bytes = device->read(length);
    if (bytes.size() != length || !bytes.startsWith(form.lead))
        return false;
    const QByteArray movie = bytes.mid(lead);
    const quint64 entries = u32At(movie, 36);
    const quint64 vendorAtomSize = QuickTimeVelloranAtom::fixedSize + 2 * entries;
    if (u32At(movie, 4) != fourCC("moov") || u32At(movie, 12) != fourCC("udta") || u32At(movie, 20) != fourCC("vrln")
        || u32At(movie, 16) != vendorAtomSize || u32At(movie, 8) != vendorAtomSize + 8
        || u32At(movie, 0) < vendorAtomSize + 16 || u32At(movie, 32) != file.interlaced)
        return false;
    for (int i = 0; i < 9; ++i) {
        if (u32At(movie, 52 + 4 * i) != file.vendorValues[i])
            return false;
    }
    // Every listed item ends by the end of the last one: no need to count again.
    whole = start >= listed.end() ? listed : file.frameMap.whole(start);
    const quint64 videoFrames = u32At(movie, 40);
    const quint64 audioChunks = u32At(movie, 44);
    const quint64 timecodeSamples = u32At(movie, 48);
    return videoFrames == whole.videoFrames && audioChunks == whole.audioChunks
        && timecodeSamples == quint64(whole.timecodeSamples) + form.appendedTimecodeSamples
        && entries == videoFrames + audioChunks + timecodeSamples;
}

// The most a repair of this recording writes: its lead, the movie atom for
// every item the map lists (each table entry at its widest), the alignment
// padding of every track and the closing block.
quint64 repairBytesBound(const QuickTimeFile& file, const QList<Form>& forms, const FrameMap::Count& listed)
{
    quint64 lead = 0;
    for (const Form& form : forms)
        lead = qMax(lead, quint64(form.lead.size()));
    const quint64 perTrack = 8192;
    const quint64 channels = file.audioChannelCount;
    return lead + 512 + perTrack + 2 * (quint64(listed.entries) + 1) + (2 + channels) * perTrack
        + 12 * quint64(listed.videoFrames) + 12 * (quint64(listed.timecodeSamples) + 1)
        + 8 * quint64(listed.audioChunks) * channels;
}

// The first "moov" in [from, end); the media it passes over are mostly
// bytes that are no 'm', which memchr skips fast.
const char* findMovieTag(const char* from, const char* end)
{
    while (end - from >= 4) {
        from = static_cast<const char*>(std::memchr(from, 'm', size_t(end - from - 3)));
        if (!from)
            return nullptr;
        if (std::memcmp(from, "moov", 4) == 0)
            return from;
        ++from;
    }
    return nullptr;
}

} // namespace

EarlierRepair::Found EarlierRepair::find(const QuickTimeFile& file, const QList<Form>& forms,
    const FrameMap::Count& listed)
{
    Found found;
    QIODevice* device = file.device;
    if (!device || !file.frameMap.isValid() || !device->isReadable() || device->isSequential())
        return found;
    if (file.recordedEnd != 0) {
        for (const Form& form : forms) {
            if (beginsAt(file, file.recordedEnd, form, listed, found.whole)) {
                found.start = file.recordedEnd;
                return found;
            }
        }
    }

    // Otherwise a repair began at the end of the file as it then was, and
    // every byte it wrote made the file longer: its movie lies within the
    // last bytes such a repair can have written.
    const quint64 fileSize = quint64(device->size());
    const quint64 bound = repairBytesBound(file, forms, listed);
    const quint64 from = fileSize > bound ? qMax(fileSize - bound, FrameMap::mediaStart)
                                          : FrameMap::mediaStart;
    // As long as the longest read, and not cleared: each byte looked at is read first.
    const quint64 longestRead = fileSize > from ? qMin<quint64>(scanBlock + 8, fileSize - from) : 0;
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size_t(longestRead)]);
    char* const bytes = buffer.get();
    if (!bytes)
        return found;
    for (quint64 block = from; block + 8 <= fileSize; block += scanBlock) {
        // Blocks overlap by a header, so no tag is cut in two.
        const qint64 length = qMin<qint64>(scanBlock + 8, qint64(fileSize - block));
        if (!device->seek(qint64(block)) || device->read(bytes, length) != length)
            return found;
        const char* const end = bytes + qMin<qint64>(length, scanBlock + 8);
        for (const char* at = findMovieTag(bytes + 4, end); at && at < bytes + scanBlock + 4;
             at = findMovieTag(at + 1, end)) {
            const quint64 movie = block + quint64(at - bytes) - 4;
            for (const Form& form : forms) {
                const quint64 start = movie - quint64(form.lead.size());
                if (movie >= quint64(form.lead.size()) && beginsAt(file, start, form, listed, found.whole)) {
                    found.start = start;
                    return found;
                }
            }
        }
    }
    return found;
}

