#ifndef QUICKTIMEENTRYSOURCE_H
#define QUICKTIMEENTRYSOURCE_H

#include <QList>
#include <QtEndian>
#include <QtGlobal>

#include <limits>
#include <memory>

// The entries of a big table, produced on demand. A table atom keeps only
// its count and a source and draws the entries while it is written, so a
// table of millions of entries is never held in memory.
class QuickTimeEntrySource
{
public:
    virtual ~QuickTimeEntrySource() = default;

    // Starts over at the first entry.
    virtual void rewind() = 0;
    // Writes up to `count` next entries at `out`, big-endian, `width` bytes
    // each (2, 4 or 8): straight into the output while a table is written.
    // Fewer when the source runs dry or its next entry does not fit the width.
    virtual quint32 write(char* out, quint32 count, int width) = 0;

    // Stores `value` as the big-endian Field at slot `index` of `out`; false
    // when it does not fit.
    template <class Field>
    static bool store(char* out, quint32 index, quint64 value)
    {
        if (value > std::numeric_limits<Field>::max())
            return false;
        qToBigEndian(Field(value), out + quint64(index) * sizeof(Field));
        return true;
    }
};

// Entries held in a list: a table read back from a file.
class QuickTimeListSource : public QuickTimeEntrySource
{
public:
    explicit QuickTimeListSource(QList<quint64> values = {})
        : values(std::move(values))
    {
    }

    void rewind() override { at = 0; }
    quint32 write(char* out, quint32 count, int width) override
    {
        quint32 filled = 0;
        for (; filled < count && at < values.size(); ++filled, ++at) {
            const quint64 value = values.at(at);
            if (!(width == 2 ? store<quint16>(out, filled, value)
                    : width == 4 ? store<quint32>(out, filled, value)
                                 : store<quint64>(out, filled, value)))
                break;
        }
        return filled;
    }

    QList<quint64> values;

private:
    qsizetype at = 0;
};

using QuickTimeEntrySourcePointer = std::unique_ptr<QuickTimeEntrySource>;

#endif
