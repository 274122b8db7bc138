#ifndef QUICKTIMEFIELDREADER_H
#define QUICKTIMEFIELDREADER_H

#include "quicktimefourcc.h"

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <type_traits>

class QDataStream;

// Reads big-endian fields from a stream within a byte budget. The first read
// that would pass the budget, or a short read from the stream, makes every
// later read return 0 and ok() false; nothing beyond the budget is touched.
class QuickTimeFieldReader
{
public:
    QuickTimeFieldReader(QDataStream& stream, quint64& remaining);

    quint8 u8();
    quint16 u16();
    quint32 u32();
    quint64 u64();
    // Exactly `length` bytes, or an empty array and a failure.
    QByteArray bytes(quint64 length);
    bool skip(quint64 length);
    // `count` big-endian entries stored as `Stored` (by default as wide as
    // the list's type), read block by block; refused before anything is
    // allocated when they would pass the budget.
    template <class Stored = void, class Value>
    bool table(quint64 count, QList<Value>& entries)
    {
        using T = std::conditional_t<std::is_void_v<Stored>, Value, Stored>;
        entries.clear();
        if (failed || count > remaining / sizeof(T)) {
            failed = true;
            return false;
        }
        entries.reserve(qsizetype(count));
        while (count > 0) {
            const quint64 block = qMin<quint64>(count, 16384);
            const QByteArray data = bytes(block * sizeof(T));
            if (failed)
                return false;
            for (quint64 i = 0; i < block; ++i)
                entries.append(qFromBigEndian<T>(data.constData() + i * sizeof(T)));
            count -= block;
        }
        return true;
    }
    // Marks the read as failed, for values that are readable but impossible.
    void refuse() { failed = true; }

    bool ok() const;
    quint64 left() const { return remaining; }
    QDataStream& dataStream() { return stream; }
    quint64& budget() { return remaining; }

private:
    bool take(quint64 length);

    QDataStream& stream;
    quint64& remaining;
    bool failed = false;
};

#endif
