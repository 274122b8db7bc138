#include "cachedreads.h"

#include <cstring>

CachedReads::CachedReads(QIODevice* take)
    : reads(take)
    , source(reads.device())
    , bytes(source->size())
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 CachedReads::size() const
{
    return bytes;
}

qint64 CachedReads::readData(char* data, qint64 length)
{
    const qint64 at = pos();
    length = qMin(length, qMax<qint64>(0, size() - at));
    if (length >= blockBytes)
        return source->seek(at) ? source->read(data, length) : -1;
    // Blocks are laid from the first byte read, the start of what is read
    // back, so that none reaches before it unless a read does.
    if (origin < 0)
        origin = at;
    qint64 done = 0;
    while (done < length) {
        const qint64 fromOrigin = at + done - origin;
        const qint64 index = fromOrigin >= 0 ? fromOrigin / blockBytes : -((blockBytes - 1 - fromOrigin) / blockBytes);
        const qint64 start = qMax<qint64>(0, origin + index * blockBytes);
        const Block* block = blockAt(start);
        const qint64 offset = at + done - start;
        if (!block || block->bytes.size() <= offset)
            return done != 0 ? done : -1;
        const qint64 part = qMin(length - done, block->bytes.size() - offset);
        std::memcpy(data + done, block->bytes.constData() + offset, size_t(part));
        done += part;
    }
    return done;
}

const CachedReads::Block* CachedReads::blockAt(qint64 start)
{
    for (const Block& block : blocks) {
        if (block.start == start)
            return &block;
    }
    Block& block = blocks[nextToReplace];
    nextToReplace = (nextToReplace + 1) % int(std::size(blocks));
    block.start = -1;
    if (!source->seek(start))
        return nullptr;
    block.bytes = source->read(qMin(blockBytes, size() - start));
    if (block.bytes.isEmpty())
        return nullptr;
    block.start = start;
    return &block;
}
