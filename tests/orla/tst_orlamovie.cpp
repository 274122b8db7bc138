// The movie atom an Orla repair writes, read back with the atom library's
// reader and compared with what the recorder laid out: track IDs, durations,
// sample tables pointing at every item, tables on 512-byte boundaries. And
// the order of the repair's writes, with the movie data header last.

#include "scanrun.h"
#include "recordingwriter.h"
#include "recovery/orla/orlarepair.h"
#include "repairedmovie.h"
#include "scan/finalize.h"
#include "takedescription.h"
#include "testcard.h"

#include "quicktimeatom.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimeeditlistatom.h"
#include "quicktimefile.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimesampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimevelloranatom.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Tolvan;

Q_DECLARE_METATYPE(TakeDescription)

namespace {

TakeDescription fakeVideoTake(int frames, int chunks, quint32 channels, quint32 first = 0, quint32 last = 0)
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.width = 1280;
    take.height = 720;
    take.recordedRate = 2500;
    take.setStandInFrames(frames, 600, 97);
    take.audioSamplesPerChunk = 640;
    take.setAudio(channels, 3, chunks, first, last);
    take.reelName = "REEL07";
    return take;
}

template <class Atom>
Atom* child(QuickTimeAtom* parent, const char (&type)[5])
{
    if (!parent)
        return nullptr;
    for (QuickTimeAtom* atom : std::as_const(parent->children)) {
        if (atom->type == fourCC(type))
            return static_cast<Atom*>(atom);
    }
    return nullptr;
}

// The atom reached from `atom` through children of the given types ("mdia/minf/stbl").
QuickTimeAtom* path(QuickTimeAtom* atom, const QString& types)
{
    for (const QString& type : types.split('/')) {
        const QByteArray code = type.toLatin1();
        QuickTimeAtom* next = nullptr;
        for (QuickTimeAtom* candidate : std::as_const(atom->children)) {
            if (candidate->type == qFromBigEndian<quint32>(code.constData()))
                next = candidate;
        }
        if (!next)
            return nullptr;
        atom = next;
    }
    return atom;
}

QString fourText(quint32 code)
{
    const char text[4] = { char(code >> 24), char(code >> 16), char(code >> 8), char(code) };
    return QString::fromLatin1(text, 4);
}

template <class List>
QString listText(const List& values)
{
    QStringList parts;
    for (auto value : values)
        parts.append(QString::number(value));
    return parts.join(',');
}

// One line per track, read from the movie.
QStringList describeTracks(const RepairedMovie& movie)
{
    QStringList tracks;
    for (QuickTimeAtom* track : movie.atomsOfType("trak")) {
        auto* header = child<QuickTimeTrackHeaderAtom>(track, "tkhd");
        auto* edits = static_cast<QuickTimeEditListAtom*>(path(track, "edts/elst"));
        auto* media = static_cast<QuickTimeMediaHeaderAtom*>(path(track, "mdia/mdhd"));
        auto* handler = static_cast<QuickTimeHandlerReferenceAtom*>(path(track, "mdia/hdlr"));
        QuickTimeAtom* table = path(track, "mdia/minf/stbl");
        auto* descriptions = child<QuickTimeSampleDescriptionAtom>(table, "stsd");
        auto* times = child<QuickTimeTimeToSampleAtom>(table, "stts");
        auto* chunks = child<QuickTimeSampleToChunkAtom>(table, "stsc");
        auto* sizes = child<QuickTimeSampleSizeAtom>(table, "stsz");
        auto* offsets = child<QuickTimeChunkOffset64Atom>(table, "co64");
        if (!header || !edits || !media || !handler || !descriptions || !times || !chunks || !sizes || !offsets) {
            tracks.append(QStringLiteral("incomplete track"));
            continue;
        }
        QStringList timeEntries;
        for (const auto& entry : times->entries)
            timeEntries.append(QStringLiteral("%1x%2").arg(entry.sampleCount).arg(entry.sampleDuration));
        QStringList chunkEntries;
        for (const auto& entry : chunks->entries)
            chunkEntries.append(QStringLiteral("%1:%2:%3").arg(entry.firstChunk).arg(entry.samplesPerChunk).arg(entry.sampleDescriptionId));
        const bool aligned = (sizes->readPosition + 20) % 512 == 0 && (offsets->readPosition + 16) % 512 == 0;
        tracks.append(QStringLiteral("track %1 %2 %3 duration %4 edit %5 media %6/%7 stts %8 stsc %9 stsz %10x%11 [%12] co64 [%13]%14")
                          .arg(header->trackId)
                          .arg(fourText(handler->componentSubtype))
                          .arg(descriptions->descriptions.isEmpty() ? QStringLiteral("-") : fourText(descriptions->descriptions.first()->format))
                          .arg(header->duration)
                          .arg(edits->entries.isEmpty() ? 0 : edits->entries.first().trackDuration)
                          .arg(media->duration)
                          .arg(media->timeScale)
                          .arg(timeEntries.join(' '), chunkEntries.join(' '))
                          .arg(sizes->sampleCount)
                          .arg(sizes->sampleSize)
                          .arg(listText(sizes->readSizes), listText(offsets->readOffsets))
                          .arg(aligned ? QStringLiteral(" aligned") : QString()));
    }
    return tracks;
}

// The same lines, from what the recorder laid out.
QStringList expectedTracks(const TakeDescription& take, const WrittenTake& written)
{
    QList<PlacedItem> items;
    for (const PlacedItem& item : written.items) {
        if (!item.complete())
            break;
        items.append(item);
    }
    auto ofKind = [&](ItemKind kind) {
        QList<PlacedItem> found;
        for (const PlacedItem& item : items)
            if (item.kind == kind)
                found.append(item);
        return found;
    };
    const QList<PlacedItem> timecodes = ofKind(ItemKind::TimecodeSample);
    const QList<PlacedItem> frames = ofKind(ItemKind::VideoFrame);
    const QList<PlacedItem> chunks = ofKind(ItemKind::AudioChunk);
    qint64 samples = 0;
    for (const PlacedItem& chunk : chunks)
        samples += chunk.samplesPerChannel;

    const quint32 scale = take.movieTimeScale();
    const quint32 frameDuration = take.movieFrameDuration();
    quint32 duration = quint32(frames.size()) * frameDuration;
    if (frames.isEmpty() && take.audioChannelCount > 0)
        duration = quint32((quint64(samples) * scale + take.audioSampleRate - 1) / take.audioSampleRate);

    QStringList tracks;
    quint32 trackId = 2;
    if (!timecodes.isEmpty()) {
        QList<qint64> sizes, offsets;
        for (const PlacedItem& item : timecodes) {
            sizes.append(item.paddedBytes);
            offsets.append(item.offset);
        }
        // The first sample times the movie; any later one lasts no time.
        const QString times = timecodes.size() > 1 ? QStringLiteral(" %1x0").arg(timecodes.size() - 1) : QString();
        tracks.append(QStringLiteral("track 1 tmcd tmcd duration %1 edit %1 media %1/%2 stts 1x%1%6 stsc 1:1:1 stsz %3x0 [%4] co64 [%5]")
                          .arg(duration).arg(scale).arg(timecodes.size()).arg(listText(sizes), listText(offsets), times));
    }
    if (!frames.isEmpty()) {
        const int perChunk = int(take.videoSamplesPerChunk);
        const int chunkCount = (int(frames.size()) + perChunk - 1) / perChunk;
        QString entries = QStringLiteral("1:%1:1").arg(chunkCount == 1 ? frames.size() : perChunk);
        if (chunkCount > 1 && frames.size() % perChunk != 0)
            entries += QStringLiteral(" %1:%2:1").arg(chunkCount).arg(frames.size() % perChunk);
        QList<qint64> sizes, offsets;
        for (int i = 0; i < frames.size(); ++i) {
            sizes.append(frames.at(i).paddedBytes);
            if (i % perChunk == 0)
                offsets.append(frames.at(i).offset);
        }
        tracks.append(QStringLiteral("track %1 vide apch duration %2 edit %2 media %2/%3 stts %4x%5 stsc %6 stsz %4x0 [%7] co64 [%8] aligned")
                          .arg(trackId++).arg(duration).arg(scale).arg(frames.size()).arg(frameDuration)
                          .arg(entries, listText(sizes), listText(offsets)));
    }
    if (!chunks.isEmpty()) {
        // Each chunk as it lies on the disk; the table lists full chunks
        // between a first and a last one of their own length.
        QStringList entries;
        const quint32 first = chunks.first().samplesPerChannel;
        const quint32 last = chunks.last().samplesPerChannel;
        if (chunks.size() == 1) {
            entries << QStringLiteral("1:%1:1").arg(first);
        } else if (chunks.size() == 2) {
            entries << QStringLiteral("1:%1:1").arg(first) << QStringLiteral("2:%1:1").arg(last);
        } else {
            const quint32 full = chunks.at(1).samplesPerChannel;
            if (first != full)
                entries << QStringLiteral("1:%1:1").arg(first);
            entries << QStringLiteral("%1:%2:1").arg(first != full ? 2 : 1).arg(full);
            if (last != full)
                entries << QStringLiteral("%1:%2:1").arg(chunks.size()).arg(last);
        }
        for (quint32 channel = 0; channel < take.audioChannelCount; ++channel) {
            QList<qint64> offsets;
            for (const PlacedItem& chunk : chunks)
                offsets.append(chunk.offset + qint64(channel) * take.audioBytesPerSample * chunk.samplesPerChannel);
            tracks.append(QStringLiteral("track %1 soun in24 duration %2 edit %2 media %3/%4 stts %3x1 stsc %5 stsz %3x%6 [] co64 [%7] aligned")
                              .arg(trackId++).arg(duration).arg(samples).arg(take.audioSampleRate)
                              .arg(entries.join(' ')).arg(take.audioBytesPerSample).arg(listText(offsets)));
        }
    }
    return tracks;
}

// A recording in memory that logs every write and can refuse writes once
// `budget` bytes have been written, as a failing card does.
class WriteLogDevice : public QBuffer
{
public:
    struct Write
    {
        qint64 offset;
        qint64 length;
    };
    QList<Write> writes;
    qint64 budget = -1;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (budget >= 0 && written + length > budget)
            return -1;
        writes.append({ pos(), length });
        written += length;
        return QBuffer::writeData(data, length);
    }

private:
    qint64 written = 0;
};


const QByteArray openHeader = QByteArray::fromHex("000000016d6461740000000000000010");

} // namespace

class OrlaMovieTest : public QObject
{
    Q_OBJECT

private slots:
    void tablesPointAtTheRecordedItems_data();
    void tablesPointAtTheRecordedItems();
    void headerIsWrittenLast();
    void failedWriteLeavesTheHeaderOpen_data();
    void failedWriteLeavesTheHeaderOpen();
    void recoverWithoutPreparedBuffer();
};

void OrlaMovieTest::tablesPointAtTheRecordedItems_data()
{
    QTest::addColumn<TakeDescription>("take");

    QTest::newRow("26 frames in chunks of 3, 2 channels, short first and last chunk")
        << fakeVideoTake(26, 9, 2, 100, 200);
    {
        TakeDescription take = fakeVideoTake(0, 30, 2, 100, 200);
        QTest::newRow("no video: the sound's length") << take;
    }
    {
        TakeDescription take = fakeVideoTake(26, 9, 2);
        take.timecodeSampleInMap = false;
        QTest::newRow("no timecode sample: no timecode track") << take;
    }
    QTest::newRow("one sound chunk, first and last count") << fakeVideoTake(29, 1, 2, 300, 200);
    QTest::newRow("two short sound chunks") << fakeVideoTake(28, 2, 2, 300, 200);
    QTest::newRow("one video chunk, not full") << fakeVideoTake(2, 30, 1);
    {
        TakeDescription take = fakeVideoTake(26, 9, 2, 100, 200);
        take.tornItems = 2;
        take.tornPartialBytes = 600;
        QTest::newRow("torn: the short last chunk left out") << take;
    }
    {
        // Items of kind 3 take their blocks but belong to no track.
        TakeDescription take = fakeVideoTake(26, 9, 2);
        QList<ItemKind> order = take.resolvedItemOrder();
        order.insert(3, ItemKind::Unknown);
        order.insert(10, ItemKind::Unknown);
        order.append(ItemKind::Unknown);
        take.itemOrder = order;
        QTest::newRow("kind 3 items between and last") << take;
    }
    {
        // A recorder writes one timecode sample; a second one is listed and lasts no time.
        TakeDescription take = fakeVideoTake(26, 9, 2);
        QList<ItemKind> order = take.resolvedItemOrder();
        order.insert(5, ItemKind::TimecodeSample);
        take.itemOrder = order;
        QTest::newRow("two timecode samples") << take;
    }
    {
        // Entries after the first zero entry are not items.
        TakeDescription take = fakeVideoTake(26, 9, 1);
        take.frameMapPokes.insert(36, 0x4001);
        take.frameMapPokes.insert(37, 0x0002);
        QTest::newRow("entries after the end of the map") << take;
    }
}

void OrlaMovieTest::tablesPointAtTheRecordedItems()
{
    QFETCH(TakeDescription, take);

    QTemporaryDir card;
    const WrittenTake written = RecordingWriter::write(take, card.filePath("A001.vlv"));
    QVERIFY2(written.ok, qPrintable(written.error));
    const ScanRun run = ScanRun::finalize(card.path());
    QCOMPARE(run.finalized, 1);
    const RepairedMovie movie(card.filePath("A001.mov"));
    QVERIFY(movie.tree);
    QCOMPARE(describeTracks(movie), expectedTracks(take, written));

    // The vendor atom copies the map up to its last counted entry, kind 3
    // entries in their places, as every table walk sees it.
    const QList<QuickTimeAtom*> vendor = movie.atomsOfType("vrln");
    QCOMPARE(vendor.size(), 1);
    QList<quint16> counted = written.frameMap.mid(0, written.items.size() - take.tornItems);
    while (!counted.isEmpty() && counted.last() >> 14 == quint16(ItemKind::Unknown))
        counted.removeLast();
    QCOMPARE(static_cast<QuickTimeVelloranAtom*>(vendor.first())->readEntries, counted);

    // The timecode description carries the reel name inside it.
    for (QuickTimeAtom* atom : movie.atomsOfType("stsd")) {
        auto* descriptions = static_cast<QuickTimeSampleDescriptionAtom*>(atom);
        if (descriptions->descriptions.isEmpty() || descriptions->descriptions.first()->format != fourCC("tmcd"))
            continue;
        QCOMPARE(descriptions->descriptions.first()->size, quint32(34 + 44));
        auto* name = child<QuickTimeSourceReferenceAtom>(descriptions, "name");
        QVERIFY(name);
        QCOMPARE(QByteArray(name->name, name->nameLength), take.reelName);
    }
}

void OrlaMovieTest::headerIsWrittenLast()
{
    QTemporaryDir card;
    const WrittenTake written = RecordingWriter::write(fakeVideoTake(26, 9, 2), card.filePath("A001.vlv"));
    QVERIFY2(written.ok, qPrintable(written.error));
    WriteLogDevice device;
    device.setData(fileBytes(written.path));
    QVERIFY(device.open(QIODevice::ReadWrite));

    Finalize scanner;
    QVERIFY(OrlaRepair::run(scanner, &device, "A001.vlv") == OrlaRepair::Outcome::Repaired);

    // The movie atom in one run from the end of the media, then the
    // closing block, then the three fields of the header: the commit.
    QVERIFY(device.writes.size() >= 5);
    qint64 next = written.mapEnd;
    const int movieWrites = int(device.writes.size()) - 4;
    for (int i = 0; i < movieWrites; ++i) {
        QCOMPARE(device.writes.at(i).offset, next);
        next += device.writes.at(i).length;
    }
    const qint64 end = next;
    QCOMPARE(device.writes.at(movieWrites).offset, end);
    QCOMPARE(device.writes.at(movieWrites).length, qint64(512));
    const QList<WriteLogDevice::Write> header = device.writes.mid(movieWrites + 1);
    QCOMPARE(header.at(0).offset, qint64(5472240));
    QCOMPARE(header.at(1).offset, qint64(5472244));
    QCOMPARE(header.at(2).offset, qint64(5472248));
    QCOMPARE(header.at(2).length, qint64(8));
    QByteArray size(8, '\0');
    qToBigEndian<quint64>(quint64(written.mapEnd - 5472240), size.data());
    QCOMPARE(device.data().mid(5472248, 8), size);
}

void OrlaMovieTest::failedWriteLeavesTheHeaderOpen_data()
{
    QTest::addColumn<QString>("failingWrite");
    QTest::newRow("inside the movie atom") << "movie";
    QTest::newRow("the closing block") << "closing block";
    QTest::newRow("the header's size") << "header size";
}

void OrlaMovieTest::failedWriteLeavesTheHeaderOpen()
{
    QFETCH(QString, failingWrite);

    QTemporaryDir card;
    const WrittenTake written = RecordingWriter::write(fakeVideoTake(26, 9, 2), card.filePath("A001.vlv"));
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray recording = fileBytes(written.path);

    // The length of the movie atom, from a repair that succeeds.
    qint64 movieBytes = 0;
    {
        WriteLogDevice trial;
        trial.setData(recording);
        QVERIFY(trial.open(QIODevice::ReadWrite));
        Finalize scanner;
        QVERIFY(OrlaRepair::run(scanner, &trial, "A001.vlv") == OrlaRepair::Outcome::Repaired);
        for (int i = 0; i < trial.writes.size() - 4; ++i)
            movieBytes += trial.writes.at(i).length;
    }

    WriteLogDevice device;
    device.setData(recording);
    QVERIFY(device.open(QIODevice::ReadWrite));
    if (failingWrite == "movie")
        device.budget = movieBytes / 2;
    else if (failingWrite == "closing block")
        device.budget = movieBytes + 100;
    else
        device.budget = movieBytes + 512 + 8; // 1 and 'mdat' rewritten as they were; the size is refused

    // The take still reads as unfinished: a later run repairs it.
    Finalize scanner;
    QVERIFY(OrlaRepair::run(scanner, &device, "A001.vlv") == OrlaRepair::Outcome::Unfinished);
    QCOMPARE(device.data().mid(5472240, 16), openHeader);
    QCOMPARE(device.data().mid(written.mediaStart, written.mediaEnd - written.mediaStart),
             recording.mid(written.mediaStart, written.mediaEnd - written.mediaStart));
    for (const WriteLogDevice::Write& write : std::as_const(device.writes))
        QVERIFY(write.offset >= written.mapEnd || write.offset + write.length <= 5472256);
}

void OrlaMovieTest::recoverWithoutPreparedBuffer()
{
    // Without prepareRecording there is no frame map buffer: nothing is read into it.
    QBuffer device;
    device.setData(QByteArray(6000000, '\0'));
    QVERIFY(device.open(QIODevice::ReadWrite));
    Tolvan::QuickTimeFile file(&device);
    QVERIFY(!file.recoverMovie());
    QCOMPARE(device.data(), QByteArray(6000000, '\0'));
}

QTEST_MAIN(OrlaMovieTest)
#include "tst_orlamovie.moc"
