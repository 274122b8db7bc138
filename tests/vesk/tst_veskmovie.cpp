// The movie atom a Vesk repair writes, read back with the atom library's
// reader and compared with what the recorder laid out: track IDs,
// durations, sample tables pointing at every item and at the appended
// timecode block, tables on 512-byte boundaries. And the order of the
// repair's writes, with the movie data header last.

#include "readbackmovie.h"
#include "recovery/vesk/veskvideorepair.h"
#include "scan/finalize.h"
#include "takedescription.h"
#include "tracklines.h"
#include "veskcard.h"
#include "writelogdevice.h"

#include "quicktimeatom.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimesampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimevelloranatom.h"

#include <QBuffer>
#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(TakeDescription)

namespace {

constexpr qint64 headerOffset = 5472240;
constexpr int frameMapEntries = 2736000;

// A take whose frames are stand-ins: no player looks at it.
TakeDescription fakeVideoTake(int frames, int chunks, quint32 channels, quint32 first = 0, quint32 last = 0)
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
    take.width = 1280;
    take.height = 720;
    take.recordedRate = 2500;
    take.setStandInFrames(frames, 600, 97);
    take.setAudio(channels, 3, chunks, first, last);
    take.reelName = "REEL07";
    take.startTimecode = 86399;
    return take;
}

// One line per track, read from the movie; the movie header's duration first.
QStringList describeMovie(const ReadBackMovie& movie)
{
    const QList<QuickTimeAtom*> headers = movie.atomsOfType("mvhd");
    return QStringList{ QStringLiteral("movie duration %1").arg(headers.isEmpty() ? -1 : qint64(static_cast<QuickTimeMovieHeaderAtom*>(headers.first())->duration)) }
        + movie.trackLines();
}

// The same lines, from what the recorder laid out and where the timecode block went.
QStringList expectedMovie(const TakeDescription& take, const WrittenTake& written, qint64 blockStart)
{
    TrackLayout layout;
    layout.videoFormat = take.videoCodec == 0 ? QStringLiteral("AVdn") : take.videoCodec <= 2 ? QStringLiteral("apcn") : QStringLiteral("-");
    layout.appendedBlockAt = blockStart;
    const ExpectedTracks expected = expectedTracks(take, written, layout);
    return QStringList{ QStringLiteral("movie duration %1").arg(expected.movieDuration) } + expected.lines;
}

// Repairs a recording held in memory with a frame map buffer of its own.
bool repairInMemory(QIODevice* device)
{
    Finalize scanner;
    std::vector<quint8> frameMap(Finalize::indexBufferSize);
    return VeskVideoRepair::run(scanner, device, frameMap.data()) == VeskVideoRepair::Outcome::Repaired;
}

} // namespace

class VeskMovieTest : public QObject
{
    Q_OBJECT

private slots:
    void tablesPointAtTheRecordedItems_data();
    void tablesPointAtTheRecordedItems();
    void timecodeDescriptionNamesTheReel();
    void frameMapWithoutRoomForTheTimecodeSample();
    void frameMapWithoutZeroEntryReadToItsEnd();
    void writeOrderEndsWithTheHeader();
    void failedWriteLeavesTheHeaderOpen_data();
    void failedWriteLeavesTheHeaderOpen();
};

void VeskMovieTest::tablesPointAtTheRecordedItems_data()
{
    QTest::addColumn<TakeDescription>("take");

    QTest::newRow("26 frames, 2 channels, short first and last chunk") << fakeVideoTake(26, 9, 2, 100, 200);
    QTest::newRow("7 frames: a last chunk of one") << fakeVideoTake(7, 3, 1);
    QTest::newRow("2 frames: one chunk of two") << fakeVideoTake(2, 1, 1);
    QTest::newRow("10 chunks, first 1000 and last 500 samples") << fakeVideoTake(30, 10, 2, 1000, 500);
    QTest::newRow("one sound chunk, first and last count") << fakeVideoTake(6, 1, 2, 300, 200);
    QTest::newRow("two short sound chunks") << fakeVideoTake(6, 2, 2, 300, 200);
    QTest::newRow("no video: the sound's length") << fakeVideoTake(0, 5, 2, 100, 200);
    {
        // Bytes behind the head, or the take would not count as recorded at all.
        TakeDescription take = fakeVideoTake(0, 0, 0);
        take.trailingBytes = 1000;
        QTest::newRow("empty frame map: the timecode track only") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 1);
        take.settingsPokes.append({ SettingsField::AudioChannelCount, 0 });
        QTest::newRow("audio chunks, no channels: no sound track") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 1);
        take.timecodeSampleInMap = true;
        QTest::newRow("the recorder's own timecode sample first") << take;
    }
    {
        // Items of kind 3 take their blocks but belong to no track; one
        // ends the media, and the block's entry follows it.
        TakeDescription take = fakeVideoTake(9, 3, 2);
        QList<ItemKind> order = take.resolvedItemOrder();
        order.insert(3, ItemKind::Unknown);
        order.append(ItemKind::Unknown);
        take.itemOrder = order;
        QTest::newRow("kind 3 items, one last") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 1);
        take.frameMapPokes.insert(13, 0x4001);
        take.frameMapPokes.insert(14, 0x0002);
        QTest::newRow("entries after the first zero entry") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 2);
        take.recordedEndMode = RecordedEndMode::Zero;
        take.trailingBytes = 1000;
        QTest::newRow("bytes between the items and the block") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 2, 100, 200);
        take.tornItems = 2;
        take.tornPartialBytes = 600;
        QTest::newRow("torn: the short last chunk left out") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 1);
        take.videoCodec = 3;
        QTest::newRow("a codec the recorder did not name: no description") << take;
    }
    {
        TakeDescription take = fakeVideoTake(9, 3, 1);
        take.videoCodec = 0;
        QTest::newRow("DNxHD") << take;
    }
}

void VeskMovieTest::tablesPointAtTheRecordedItems()
{
    QFETCH(TakeDescription, take);

    VeskCard card;
    const WrittenTake written = card.writeTake(take, "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(card.finalize().finalized, 1);
    const ReadBackMovie movie(card.path("B001.mov"));
    QVERIFY(movie.tree);
    QCOMPARE(movie.blockBefore.left(4), QByteArray::fromHex("0001517f"));
    QCOMPARE(movie.blockBefore.mid(4), QByteArray(508, '\0'));
    QCOMPARE(describeMovie(movie), expectedMovie(take, written, movie.movieStart - 512));

    // The vendor atom keeps the counts and the frame map up to the block's
    // entry, kind 3 entries in their places.
    const QList<QuickTimeAtom*> vendor = movie.atomsOfType("vrln");
    QCOMPARE(vendor.size(), 1);
    const auto* summary = static_cast<QuickTimeVelloranAtom*>(vendor.first());
    const QList<quint16> kept = written.frameMap.mid(0, written.items.size() - take.tornItems);
    QCOMPARE(summary->readEntries, kept + QList<quint16>{ 0x8001 });
    QCOMPARE(summary->entryCount, quint32(kept.size() + 1));
}

void VeskMovieTest::timecodeDescriptionNamesTheReel()
{
    VeskCard card;
    TakeDescription take = fakeVideoTake(3, 1, 1);
    take.reelName = QByteArray(32, 'R'); // no terminating zero in the block: all 32 are the name, 31 fit
    QVERIFY(card.writeTake(take, "B001.vlv").ok);
    QCOMPARE(card.finalize().finalized, 1);
    const ReadBackMovie movie(card.path("B001.mov"));
    QList<QuickTimeAtom*> names = movie.atomsOfType("name");
    QCOMPARE(names.size(), 1);
    const auto* name = static_cast<QuickTimeSourceReferenceAtom*>(names.first());
    QCOMPARE(QByteArray(name->name, name->nameLength), QByteArray(31, 'R'));
    auto* descriptions = static_cast<QuickTimeSampleDescriptionAtom*>(name->parent);
    QCOMPARE(descriptions->descriptions.first()->size, quint32(34 + 44));
}

void VeskMovieTest::frameMapWithoutRoomForTheTimecodeSample()
{
    // The recorder's own timecode sample, then video frames of no length to
    // the end of the map, all of it in the file and no zero entry: there is
    // no slot left for the block's entry, and no block is written.
    VeskCard card;
    TakeDescription take = fakeVideoTake(0, 0, 0);
    take.timecodeSampleInMap = true;
    for (int i = 1; i < frameMapEntries; ++i)
        take.frameMapPokes.insert(i, 0x4000);
    take.trailingBytes = 700;
    const WrittenTake written = card.writeTake(take, "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));

    const ScanRun run = card.finalize();
    const QString moviePath = card.path("B001.mov");
    const ReadBackMovie movie(moviePath);
    QVERIFY(movie.tree);
    QCOMPARE(movie.movieStart, written.mapEnd);
    QCOMPARE(run.lines, (QStringList{ VeskLines::scanning(card.root()), VeskLines::doing(),
                                      QStringLiteral("********************* %1 frame map full, no timecode sample added!\n").arg(written.path),
                                      movie.positionLine(), VeskLines::result(moviePath, true) }));
    const QStringList tracks = describeMovie(movie);
    QCOMPARE(tracks.size(), 3);
    QCOMPARE(tracks.at(1), QStringLiteral("track 1 tmcd tmcd duration 273599900 media 273599900/2500 stts 1x273599900 stsc 1:1:1 stsz 1x0 [512] co64 [5472256]"));
    QVERIFY2(tracks.at(2).startsWith(QStringLiteral("track 2 vide apcn duration 273599900 media 273599900/2500 stts 2735999x100 stsc 1:3:1 912000:2:1 stsz 2735999x0")),
             qPrintable(tracks.at(2).left(200)));
    const auto* summary = static_cast<QuickTimeVelloranAtom*>(movie.atomsOfType("vrln").first());
    QCOMPARE(summary->timecodeSampleCount, quint32(1));
    QCOMPARE(summary->entryCount, quint32(frameMapEntries));
}

void VeskMovieTest::frameMapWithoutZeroEntryReadToItsEnd()
{
    // After nine items the map lists entries to its end whose items never
    // reached the file: the take is repaired with the nine.
    VeskCard card;
    TakeDescription take = fakeVideoTake(6, 3, 1);
    for (int i = 9; i < frameMapEntries; ++i)
        take.frameMapPokes.insert(i, 0x4001);
    const WrittenTake written = card.writeTake(take, "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));

    const ScanRun run = card.finalize();
    const ReadBackMovie movie(card.path("B001.mov"));
    QVERIFY(movie.tree);
    QCOMPARE(run.lines, (QStringList{ VeskLines::scanning(card.root()), VeskLines::doing(),
                                      VeskLines::leftOut(written.path, frameMapEntries - 9), movie.positionLine(),
                                      VeskLines::result(card.path("B001.mov"), true) }));
    QCOMPARE(describeMovie(movie), expectedMovie(take, written, written.mapEnd));
}

void VeskMovieTest::writeOrderEndsWithTheHeader()
{
    VeskCard card;
    const WrittenTake written = card.writeTake(fakeVideoTake(26, 9, 2), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    WriteLogDevice device;
    device.setData(VeskCard::fileBytes(written.path));
    QVERIFY(device.open(QIODevice::ReadWrite));
    QVERIFY(repairInMemory(&device));

    // The block and the movie atom in one run from the end of the media,
    // the block leading the first write, then the three fields of the
    // header: the commit.
    QVERIFY(device.writes.size() >= 4);
    QCOMPARE(device.writes.first().offset, written.mapEnd);
    QVERIFY(device.writes.first().length > 512 + 8);
    QCOMPARE(device.data().mid(written.mapEnd + 516, 4), QByteArray("moov"));
    qint64 next = written.mapEnd;
    const int mediaWrites = int(device.writes.size()) - 3;
    for (int i = 0; i < mediaWrites; ++i) {
        QCOMPARE(device.writes.at(i).offset, next);
        next += device.writes.at(i).length;
    }
    QCOMPARE(next, qint64(device.data().size()));
    const QList<WriteLogDevice::Write> header = device.writes.mid(mediaWrites);
    QCOMPARE(header.at(0).offset, headerOffset);
    QCOMPARE(header.at(1).offset, headerOffset + 4);
    QCOMPARE(header.at(2).offset, headerOffset + 8);
    QCOMPARE(header.at(2).length, qint64(8));
    QByteArray size(8, '\0');
    qToBigEndian<quint64>(quint64(written.mapEnd + 512 - headerOffset), size.data());
    QCOMPARE(device.data().mid(headerOffset + 8, 8), size);
}

void VeskMovieTest::failedWriteLeavesTheHeaderOpen_data()
{
    QTest::addColumn<QString>("failingWrite");
    QTest::newRow("the timecode block") << "block";
    QTest::newRow("inside the movie atom") << "movie";
    QTest::newRow("the header's size") << "header size";
}

void VeskMovieTest::failedWriteLeavesTheHeaderOpen()
{
    QFETCH(QString, failingWrite);

    VeskCard card;
    const WrittenTake written = card.writeTake(fakeVideoTake(26, 9, 2), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray recording = VeskCard::fileBytes(written.path);

    // How much a repair that succeeds writes before the header.
    qint64 repairBytes = 0;
    {
        WriteLogDevice trial;
        trial.setData(recording);
        QVERIFY(trial.open(QIODevice::ReadWrite));
        QVERIFY(repairInMemory(&trial));
        for (int i = 0; i < trial.writes.size() - 3; ++i)
            repairBytes += trial.writes.at(i).length;
    }

    WriteLogDevice device;
    device.setData(recording);
    QVERIFY(device.open(QIODevice::ReadWrite));
    if (failingWrite == "block")
        device.budget = 100;
    else if (failingWrite == "movie")
        device.budget = repairBytes / 2;
    else
        device.budget = repairBytes + 8; // 1 and 'mdat' rewritten as they were; the size is refused

    QVERIFY(!repairInMemory(&device));
    QCOMPARE(device.data().mid(headerOffset, 16), ReadBackMovie::openHeader);
    QCOMPARE(device.data().mid(written.mediaStart, written.mediaEnd - written.mediaStart),
             recording.mid(written.mediaStart, written.mediaEnd - written.mediaStart));
    for (const WriteLogDevice::Write& write : std::as_const(device.writes))
        QVERIFY(write.offset >= written.mapEnd || write.offset + write.length <= 5472256);
}

QTEST_MAIN(VeskMovieTest)
#include "tst_veskmovie.moc"
