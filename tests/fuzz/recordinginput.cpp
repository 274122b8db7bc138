#include "recordinginput.h"

#include "recordinghead.h"
#include "recordinglayout.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint8 closedHeader = 1;
constexpr quint8 recordedEndInMedia = 2;

// Reads the input front to back; past its end every field is zero.
class InputReader
{
public:
    explicit InputReader(const QByteArray& input)
        : input(input)
    {
    }

    QByteArray bytes(qsizetype count)
    {
        QByteArray taken = input.mid(at, count);
        at += count;
        taken.resize(count, '\0');
        return taken;
    }
    template <class Number>
    Number number()
    {
        return qFromLittleEndian<Number>(bytes(qsizetype(sizeof(Number))).constData());
    }
    bool atEnd() const { return at >= input.size(); }

private:
    const QByteArray& input;
    qsizetype at = 0;
};

// Frame map entries written one after another into the head, never past the map.
class MapFiller
{
public:
    MapFiller(QByteArray& head, qint64 mapOffset)
        : map(head.data() + mapOffset)
    {
    }

    void append(quint16 entry)
    {
        if (used < RecordingLayout::frameMapEntries)
            qToLittleEndian<quint16>(entry, map + 2 * qint64(used++));
    }
    // By doubling copies: a full map in a few dozen steps, not millions.
    void repeat(quint16 entry, quint32 count)
    {
        count = qMin(count, quint32(RecordingLayout::frameMapEntries - used));
        if (count == 0)
            return;
        char* first = map + 2 * qint64(used);
        qToLittleEndian<quint16>(entry, first);
        for (qint64 done = 1; done < count; done *= 2)
            std::memcpy(first + 2 * done, first, size_t(2 * qMin<qint64>(done, count - done)));
        used += int(count);
    }

private:
    char* map;
    int used = 0;
};

// Recorded media: a pattern no repair would write, made once.
QByteArrayView media(qint64 length)
{
    static const QByteArray pattern = [] {
        QByteArray bytes(RecordingInput::mostMedia, Qt::Uninitialized);
        for (qint64 i = 0; i < bytes.size(); ++i)
            bytes.data()[i] = char(0x5A ^ (i * 13 & 0xFF));
        return bytes;
    }();
    return QByteArrayView(pattern).first(length);
}

} // namespace

QByteArray RecordingInput::decode(const QByteArray& input, RecorderFamily family)
{
    InputReader in(input);
    TakeDescription take = TakeDescription::forFamily(family);
    QByteArray settings = in.bytes(RecordingHead::settingsSize(family));
    const quint8 shape = in.number<quint8>();
    const quint16 fillEntry = in.number<quint16>();
    const quint32 fillField = in.number<quint32>();
    const quint32 fillCount = (fillField >> 5) >> (fillField & 31);
    const qint64 mediaLength = qint64(in.number<quint32>() % quint32(mostMedia + 1));
    const quint16 leadingCount = in.number<quint16>();

    if (shape & recordedEndInMedia) {
        const RecordingHead::FieldPlace place = RecordingHead::fieldPlace(family, SettingsField::RecordedEnd);
        const quint64 given = qFromLittleEndian<quint64>(settings.constData() + place.offset);
        const quint64 inMedia = quint64(RecordingLayout::mediaOffset) + given % quint64(mediaLength + 1);
        qToLittleEndian<quint64>(inMedia, settings.data() + place.offset);
    }

    QByteArray file = RecordingHead::head(take, settings, {});
    file.reserve(file.size() + mediaLength);
    MapFiller map(file, RecordingHead::frameMapOffset(family));
    for (quint16 i = 0; i < leadingCount && !in.atEnd(); ++i)
        map.append(in.number<quint16>());
    map.repeat(fillEntry, fillCount);
    while (!in.atEnd())
        map.append(in.number<quint16>());

    if (shape & closedHeader)
        qToBigEndian<quint64>(quint64(16 + mediaLength), file.data() + RecordingLayout::movieDataHeaderOffset + 8);
    file.append(media(mediaLength));
    return file;
}
