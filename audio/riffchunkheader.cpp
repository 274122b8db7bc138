#include "riffchunkheader.h"

#include <QtEndian>

#include <cstring>

RiffChunkHeader::RiffChunkHeader(const char* bytes)
    : size(qFromLittleEndian<quint32>(bytes + 4))
{
    std::memcpy(id, bytes, sizeof id);
}

bool RiffChunkHeader::hasId(const char* fourCC) const
{
    return std::memcmp(id, fourCC, sizeof id) == 0;
}

bool RiffChunkHeader::isPlausibleAt(quint64 position, quint64 fileSize) const
{
    // Ids are printable ASCII, padded with trailing spaces ("fmt ").
    if (id[0] == ' ')
        return false;
    for (const char c : id) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    if (hasId("data"))
        return position + byteCount <= fileSize;
    return position + byteCount + size <= fileSize;
}
