// Vesk takes repaired through the scanner and played back by ffmpeg: the
// start timecode from the appended block, every frame and every channel's
// samples come out as they were recorded, and the recorded media keeps
// every byte.

#include "filehash.h"
#include "recordedplayback.h"
#include "takedescription.h"
#include "sourcevideo.h"
#include "veskcard.h"
#include "readbackmovie.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(TakeDescription)

namespace {

// Where the timecode block (and the movie behind it) must go.
enum class BlockAt { MapEnd, FileEnd };

TakeDescription proResTake(ProResProfile profile, int frames, const QString& rate = QStringLiteral("25"))
{
    const EncodedVideo video = SourceVideo::encode(VideoFormat::proRes(profile, 256, 144, rate, frames));
    if (!video.ok)
        qWarning("%s", qPrintable(video.error));
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
    take.setVideo(video);
    take.startTimecode = 90000; // 01:00:00:00 at 25 fps
    return take;
}

// 12 frames of ProRes 422 (HQ) with 6 chunks of 2 channels.
TakeDescription standardTake(quint32 first = 0, quint32 last = 0)
{
    TakeDescription take = proResTake(ProResProfile::Hq, 12);
    take.setAudio(2, 3, 6, first, last);
    return take;
}

TakeDescription withRecordedEnd(TakeDescription take, quint64 recordedEnd, qint64 trailingBytes)
{
    take.recordedEndMode = RecordedEndMode::Explicit;
    take.recordedEnd = recordedEnd;
    take.trailingBytes = trailingBytes;
    return take;
}

QByteArray readRange(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

QByteArray timecodeBlock(quint32 frameNumber)
{
    QByteArray block(512, '\0');
    qToBigEndian<quint32>(frameNumber, block.data());
    return block;
}

} // namespace

class VeskPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void repairedTakePlaysAsRecorded_data();
    void repairedTakePlaysAsRecorded();
};

void VeskPlaybackTest::repairedTakePlaysAsRecorded_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<BlockAt>("blockAt");
    QTest::addColumn<int>("leftOutItems");
    QTest::addColumn<bool>("recordedEndUnusable");

    QTest::newRow("ProRes 422 (HQ), 2 channels of 24 bits, short first and last chunk")
        << standardTake(1000, 500) << BlockAt::MapEnd << 0 << false;
    {
        TakeDescription take = proResTake(ProResProfile::Standard, 6);
        take.setAudio(1, 2, 3);
        QTest::newRow("ProRes 422, 1 channel of 16 bits") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(ProResProfile::Lt, 6);
        take.setAudio(4, 4, 2, 0, 2000);
        QTest::newRow("ProRes 422 (LT), 4 channels of 32 bits") << take << BlockAt::MapEnd << 0 << false;
    }
    QTest::newRow("ProRes 422 (Proxy), no audio") << proResTake(ProResProfile::Proxy, 6) << BlockAt::MapEnd << 0 << false;
    {
        TakeDescription take = proResTake(ProResProfile::P4444, 6);
        take.setAudio(2, 3, 2);
        QTest::newRow("ProRes 4444") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        const EncodedVideo video = SourceVideo::encode(VideoFormat::dnxhd(1920, 1080, true, 120, "30000/1001", 5));
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
        take.setVideo(video);
        take.dropFrame = true;
        take.startTimecode = 107892; // 01:00:00;00 in drop-frame counting
        take.setAudio(1, 4, 3, 300, 360);
        QTest::newRow("interlaced DNxHD, drop frame") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(ProResProfile::Hq, 12, QStringLiteral("24000/1001"));
        take.startTimecode = 86400; // 01:00:00:00 at 24 fps
        take.setAudio(1, 3, 4);
        QTest::newRow("23.976") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake();
        take.trailingBytes = 100000;
        QTest::newRow("recorded end inside a longer file") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        // The block goes where the media ends by the file, not where the
        // frame map ends: the timecode track must point at it there.
        TakeDescription take = withRecordedEnd(standardTake(), 0, 4096 + 100);
        QTest::newRow("recorded end 0, bytes after the media") << take << BlockAt::FileEnd << 0 << false;
    }
    QTest::newRow("recorded end past the file")
        << withRecordedEnd(standardTake(), Q_UINT64_C(1) << 40, 777) << BlockAt::FileEnd << 0 << true;
    QTest::newRow("recorded end before the end of the items")
        << withRecordedEnd(standardTake(), 5472256 + 512, 4096) << BlockAt::FileEnd << 0 << true;
    QTest::newRow("recorded end inside the head")
        << withRecordedEnd(standardTake(), 1000, 0) << BlockAt::FileEnd << 0 << true;
    {
        // The last frame reached the disk in part, the frame and the short
        // last chunk after it not at all; the recorder's end lies past the file.
        TakeDescription take = standardTake(1000, 500);
        take.tornItems = 3;
        take.tornPartialBytes = 100;
        QTest::newRow("torn tail") << take << BlockAt::FileEnd << 3 << true;
    }
    {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
        take.setAudio(2, 3, 5, 0, 1234);
        QTest::newRow("no video: the sound plays") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(ProResProfile::Hq, 2);
        take.setAudio(1, 3, 1, 2000, 1000);
        QTest::newRow("two frames, one audio chunk with first and last count") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(ProResProfile::Hq, 4);
        take.setAudio(2, 3, 2, 2000, 1000);
        QTest::newRow("two audio chunks, first and last count") << take << BlockAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake();
        take.timecodeSampleInMap = true;
        QTest::newRow("a timecode sample of the recorder's own") << take << BlockAt::MapEnd << 0 << false;
    }
}

void VeskPlaybackTest::repairedTakePlaysAsRecorded()
{
    QFETCH(TakeDescription, take);
    QFETCH(BlockAt, blockAt);
    QFETCH(int, leftOutItems);
    QFETCH(bool, recordedEndUnusable);

    VeskCard card;
    const QString takePath = card.path("B001C001.vlv");
    const QString moviePath = card.path("B001C001.mov");
    const WrittenTake written = card.writeTake(take, "B001C001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray tailBefore = readRange(takePath, written.mediaEnd, written.fileSize - written.mediaEnd);

    const ScanRun run = card.finalize();
    QVERIFY(!QFile::exists(takePath));
    const ReadBackMovie movie(moviePath);
    QVERIFY2(movie.tree, "no movie atom behind the timecode block");

    // The block where the media ends, the movie right behind it, both inside the closed movie data.
    const qint64 blockStart = blockAt == BlockAt::MapEnd ? written.mapEnd : written.fileSize;
    QCOMPARE(movie.movieStart, blockStart + 512);
    QCOMPARE(movie.movieDataSize(), quint64(movie.movieStart - ReadBackMovie::movieDataHeaderOffset));
    QCOMPARE(movie.blockBefore, timecodeBlock(take.startTimecode));
    QStringList expectedLines{ VeskLines::scanning(card.root()), VeskLines::doing() };
    if (leftOutItems > 0)
        expectedLines << VeskLines::leftOut(takePath, leftOutItems);
    if (recordedEndUnusable)
        expectedLines << VeskLines::unusableEnd(takePath, written.recordedEnd);
    expectedLines << movie.positionLine() << VeskLines::result(moviePath, true);
    QCOMPARE(run.lines, expectedLines);
    QCOMPARE(run.finalized, 1);
    QCOMPARE(run.unrecoverable, 0);

    // The media and whatever lies behind the movie are untouched; nothing follows the movie.
    QCOMPARE(FileHash::sha256(moviePath, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
    QCOMPARE(QFileInfo(moviePath).size(), qMax(movie.movieEnd, written.fileSize));
    if (movie.movieEnd < written.fileSize)
        QCOMPARE(readRange(moviePath, movie.movieEnd, written.fileSize - movie.movieEnd), tailBefore.mid(movie.movieEnd - written.mediaEnd));
    if (blockStart > written.mediaEnd)
        QCOMPARE(readRange(moviePath, written.mediaEnd, blockStart - written.mediaEnd), tailBefore.left(blockStart - written.mediaEnd));

    // A player's view.
    const QString mismatch = RecordedPlayback::mismatch(moviePath, take, written);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

QTEST_MAIN(VeskPlaybackTest)
#include "tst_veskplayback.moc"
