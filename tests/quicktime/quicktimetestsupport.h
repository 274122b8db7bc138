#ifndef QUICKTIMETESTSUPPORT_H
#define QUICKTIMETESTSUPPORT_H

// Helpers shared by the atom library's tests; built against either variant.

#include "quicktimeatom.h"
#include "quicktimefile.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

QTLIB_USE_NAMESPACE

// Big-endian bytes, spelled out the way the expected atoms are read.
class Bytes
{
public:
    Bytes& u8(quint32 value);
    Bytes& u16(quint32 value);
    Bytes& u32(quint32 value);
    Bytes& u64(quint64 value);
    Bytes& text(const char* characters);
    Bytes& zeros(int count);
    Bytes& raw(const QByteArray& bytes);
    operator QByteArray() const { return data; }
    QByteArray bytes() const { return data; }

private:
    QByteArray data;
};

// A frame map entry: kind in the top two bits, length in 512-byte blocks.
constexpr quint16 entry(int kind, int blocks) { return quint16((kind << 14) | blocks); }

// A movie file object on an in-memory device, with a zeroed frame map
// (owned by the object in Tolvan, lent by the test in the global variant).
class TestMovie
{
public:
    TestMovie();
    ~TestMovie();

    // Copies entries into the frame map (little-endian) and sets the three
    // counters from their kinds, as the recovery code does.
    void setFrameMap(const QList<quint16>& entries);
    QuickTimeFile& operator*() { return *file; }
    QuickTimeFile* operator->() { return file.get(); }
    QuickTimeFile* get() { return file.get(); }

    QBuffer device;

private:
    std::vector<quint8> lentFrameMap;
    std::unique_ptr<QuickTimeFile> file;
};

// Compares two byte strings and, when they differ, fails the test naming the
// first differing offset and the bytes around it.
bool sameBytes(const QByteArray& actual, const QByteArray& expected, const char* file, int line);
#define COMPARE_BYTES(actual, expected) \
    do { \
        if (!sameBytes((actual), (expected), __FILE__, __LINE__)) \
            return; \
    } while (false)

// The bytes an atom writes to a plain stream.
QByteArray written(QuickTimeAtom& atom);
// The bytes an atom writes through a QuickTimeBufferDevice of bufferSize.
QByteArray writtenBuffered(QuickTimeAtom& atom, int bufferSize);

// Captures every debug line while alive.
class DebugLines
{
public:
    DebugLines();
    ~DebugLines();
    QStringList lines;

private:
    static DebugLines* current;
    QtMessageHandler previous;
};

// A target device that records the length of every write and can fail:
// from write number failAt on it returns -1, or accepts only shortBy fewer
// bytes than asked.
class RecordingDevice : public QIODevice
{
public:
    RecordingDevice();

    QList<qint64> writes;
    QByteArray data;
    int failAt = -1;
    qint64 shortBy = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* bytes, qint64 length) override;
};

#endif
