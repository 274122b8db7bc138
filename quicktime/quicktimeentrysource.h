#ifndef QUICKTIMEENTRYSOURCE_H
#define QUICKTIMEENTRYSOURCE_H

#include <QList>
#include <QtGlobal>

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
    // Fills up to `count` next entries into `values`; fewer when the source
    // runs dry.
    virtual quint32 next(quint64* values, quint32 count) = 0;
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
    quint32 next(quint64* out, quint32 count) override
    {
        quint32 filled = 0;
        while (filled < count && at < values.size())
            out[filled++] = values.at(at++);
        return filled;
    }

    QList<quint64> values;

private:
    qsizetype at = 0;
};

using QuickTimeEntrySourcePointer = std::unique_ptr<QuickTimeEntrySource>;

#endif
