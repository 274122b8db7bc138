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
#include "tracklines.h"
#include "writelogdevice.h"

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

// The newer family's movies: an edit list on every track, the recorder's
// own video chunking.
TrackLayout orlaLayout(const TakeDescription& take)
{
    TrackLayout layout;
    layout.editLists = true;
    layout.videoFormat = QStringLiteral("apch");
    layout.videoFramesPerChunk = take.videoSamplesPerChunk;
    return layout;
}

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
    QCOMPARE(movie.trackLines(), expectedTracks(take, written, orlaLayout(take)).lines);

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
        auto* name = static_cast<QuickTimeSourceReferenceAtom*>(atomAt(descriptions, "name"));
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
    QCOMPARE(device.data().mid(5472240, 16), ReadBackMovie::openHeader);
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
