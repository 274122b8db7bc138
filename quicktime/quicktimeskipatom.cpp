#include "quicktimeskipatom.h"

#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

QuickTimeSkipAtom::QuickTimeSkipAtom()
    : QuickTimeAtom(fourCC("skip"))
{
    std::memset(payload, 0, sizeof payload);
}

void QuickTimeSkipAtom::write(QDataStream& stream)
{
    QuickTimeAtom::write(stream);
    quint64 left = size > 8 ? size - 8 : 0;
    const int fromBuffer = int(qMin<quint64>(left, payloadCapacity));
    stream.writeRawData(payload, fromBuffer);
    left -= quint64(fromBuffer);
    // Padding beyond the buffer is zeros, so the declared size always holds.
    static const char zeros[payloadCapacity] = {};
    while (left > 0) {
        const int chunk = int(qMin<quint64>(left, payloadCapacity));
        stream.writeRawData(zeros, chunk);
        left -= quint64(chunk);
    }
}

bool QuickTimeSkipAtom::read(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    const QByteArray kept = in.bytes(qMin<quint64>(remaining, payloadCapacity));
    std::memcpy(payload, kept.constData(), size_t(kept.size()));
    return in.ok();
}

