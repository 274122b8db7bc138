// Orla takes repaired through the scanner and played back by ffmpeg: every
// frame, every channel's samples and the start timecode come out as they
// were recorded, and the recorded media keeps every byte.

#include "filehash.h"
#include "scanrun.h"
#include "recordedplayback.h"
#include "recordingwriter.h"
#include "repairedmovie.h"
#include "takedescription.h"
#include "sourcevideo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TakeDescription)

namespace {

// Where the movie atom must go.
enum class MovieAt { MapEnd, FileEnd };

// The start of a movie of `frames` ProRes frames at 25 fps (one encoding serves every row).
TakeDescription proResTake(int frames, const QString& rate = QStringLiteral("25"))
{
    const EncodedVideo video = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 256, 144, rate, rate == "25" ? 30 : frames));
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    if (!video.ok)
        qWarning("%s", qPrintable(video.error));
    take.setVideo(video);
    take.videoFrames = video.frames.mid(0, frames);
    take.videoFrameMd5 = video.frameMd5.mid(0, frames);
    take.startTimecode = 90000; // 01:00:00:00 at 25 fps
    return take;
}

// 24 frames in 8 chunks of three, with 8 audio chunks of 5,760 samples
// (0.12 s, three frames' worth) or shorter first and last ones: sound and
// picture end together, so the edit lists cut nothing.
TakeDescription standardTake(quint32 channels, quint32 bytesPerSample, quint32 first = 0, quint32 last = 0)
{
    TakeDescription take = proResTake(24);
    take.audioSamplesPerChunk = 5760;
    take.setAudio(channels, bytesPerSample, 8, first, last);
    return take;
}

QByteArray readRange(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

} // namespace

class OrlaPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void repairedTakePlaysAsRecorded_data();
    void repairedTakePlaysAsRecorded();
};

void OrlaPlaybackTest::repairedTakePlaysAsRecorded_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<MovieAt>("movieAt");
    QTest::addColumn<int>("leftOutItems");
    QTest::addColumn<bool>("recordedEndUnusable");

    QTest::newRow("ProRes 422 HQ, 2 channels of 24 bits, short first and last chunk")
        << standardTake(2, 3, 4000, 7520) << MovieAt::MapEnd << 0 << false;

    {
        const EncodedVideo video = SourceVideo::encode(VideoFormat::dnxhd(1920, 1080, true, 120, "30000/1001", 5));
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
        take.setVideo(video);
        take.dropFrame = true;
        take.startTimecode = 107892; // 01:00:00;00 in drop-frame counting
        // 5 frames of 29.97 are 8,008 samples: 22 x 334 + 300 + 360.
        take.audioSamplesPerChunk = 334;
        take.setAudio(1, 4, 24, 300, 360);
        QTest::newRow("interlaced DNxHD, 1 channel of 32 bits") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(30);
        QTest::newRow("no audio") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        // 12 frames of 23.976 are 24,024 samples: 22 x 1,092.
        TakeDescription take = proResTake(12, QStringLiteral("24000/1001"));
        take.startTimecode = 86400; // 01:00:00:00 at 24 fps
        take.audioSamplesPerChunk = 1092;
        take.setAudio(1, 4, 22);
        QTest::newRow("23.976") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake(1, 3);
        take.trailingBytes = 100000;
        QTest::newRow("recorded end inside a longer file") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        // 30 frames in chunks of four (the last one of two), 1.2 s of sound.
        TakeDescription take = proResTake(30);
        take.videoSamplesPerChunk = 4;
        take.audioSamplesPerChunk = 7200;
        take.setAudio(2, 3, 8);
        QTest::newRow("frames per chunk not dividing the frames") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
        take.audioSamplesPerChunk = 1000;
        take.setAudio(2, 3, 30);
        QTest::newRow("no video") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake(2, 4);
        take.timecodeSampleInMap = false;
        QTest::newRow("no timecode sample") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        // The last frame reached the disk in part, the frame and the short
        // last chunk after it not at all; the recorder's end lies past the file.
        TakeDescription take = standardTake(2, 3, 4000, 7520);
        take.tornItems = 3;
        take.tornPartialBytes = 100;
        QTest::newRow("torn tail") << take << MovieAt::FileEnd << 3 << true;
    }
    {
        TakeDescription take = standardTake(1, 3);
        take.recordedEndMode = RecordedEndMode::Zero;
        take.trailingBytes = 4096;
        QTest::newRow("recorded end 0") << take << MovieAt::FileEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake(1, 3);
        take.recordedEndMode = RecordedEndMode::Explicit;
        take.recordedEnd = 1000;
        QTest::newRow("recorded end inside the head") << take << MovieAt::FileEnd << 0 << true;
    }
    {
        TakeDescription take = standardTake(1, 3);
        take.recordedEndMode = RecordedEndMode::Explicit;
        take.recordedEnd = Q_UINT64_C(1) << 40;
        QTest::newRow("recorded end past the file") << take << MovieAt::FileEnd << 0 << true;
    }
    {
        // A stale end inside the last item: the items are the truth.
        TakeDescription take = standardTake(1, 3);
        take.recordedEndMode = RecordedEndMode::Explicit;
        take.recordedEnd = 5472256 + 512;
        take.trailingBytes = 4096;
        QTest::newRow("recorded end before the end of the items") << take << MovieAt::FileEnd << 0 << true;
    }
    {
        // One chunk that is the first and the last: it holds the first count.
        TakeDescription take = proResTake(29);
        take.setAudio(1, 3, 1, 55680, 1000);
        QTest::newRow("one audio chunk, first and last count") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(29);
        take.setAudio(2, 3, 2, 27000, 28680);
        QTest::newRow("two audio chunks, first and last count") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = proResTake(29);
        take.setAudio(2, 3, 1, 0, 55680);
        QTest::newRow("one audio chunk, last count") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        // Two frames, fewer than a chunk holds; 0.08 s of sound in 30 chunks.
        TakeDescription take = proResTake(2);
        take.audioSamplesPerChunk = 128;
        take.setAudio(1, 3, 30);
        QTest::newRow("one video chunk, not full") << take << MovieAt::MapEnd << 0 << false;
    }
    {
        TakeDescription take = standardTake(1, 3);
        QList<ItemKind> order = take.resolvedItemOrder();
        order.insert(5, ItemKind::TimecodeSample);
        take.itemOrder = order;
        QTest::newRow("two timecode samples") << take << MovieAt::MapEnd << 0 << false;
    }
}

void OrlaPlaybackTest::repairedTakePlaysAsRecorded()
{
    QFETCH(TakeDescription, take);
    QFETCH(MovieAt, movieAt);
    QFETCH(int, leftOutItems);
    QFETCH(bool, recordedEndUnusable);

    QTemporaryDir card;
    QVERIFY(card.isValid());
    const QString root = QFileInfo(card.path()).canonicalFilePath();
    const QString takePath = root + "/A001C001.vlv";
    const QString moviePath = root + "/A001C001.mov";
    const WrittenTake written = RecordingWriter::write(take, takePath);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray tailBefore = readRange(takePath, written.mediaEnd, written.fileSize - written.mediaEnd);

    const ScanRun run = ScanRun::finalize(root);
    QVERIFY(!QFile::exists(takePath));
    const RepairedMovie movie(moviePath);
    QVERIFY2(movie.tree, "no movie atom behind the media");

    // Where the movie went, and the report of it.
    const qint64 expectedStart = movieAt == MovieAt::MapEnd ? written.mapEnd : written.fileSize;
    QCOMPARE(movie.movieStart, expectedStart);
    QCOMPARE(movie.movieDataSize(), quint64(expectedStart - RepairedMovie::movieDataHeaderOffset));
    QVERIFY(movie.closingBlockIsZero());
    QStringList notes;
    if (leftOutItems > 0)
        notes << QStringLiteral("********************* %1 %2 listed items never reached the disk whole, the take is repaired without them!\n")
                     .arg(takePath).arg(leftOutItems);
    if (recordedEndUnusable)
        notes << QStringLiteral("********************* %1 recorded end %2 does not fit the recorded media, the movie goes at the end of the file!\n")
                     .arg(takePath).arg(written.recordedEnd);
    const QStringList expectedLines = QStringList{ "Scanning folder: " + root + "\n", "doing orla finalize" }
        + movie.repairLines(takePath, notes) + QStringList{ "     " + moviePath + " (Orla) Finalized\n" };
    QCOMPARE(run.lines, expectedLines);
    QCOMPARE(run.finalized, 1);
    QCOMPARE(run.unrecoverable, 0);

    // The media and whatever lay behind the new closing block are untouched.
    QCOMPARE(FileHash::sha256(moviePath, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
    const qint64 repairedEnd = movie.movieEnd + 512;
    QCOMPARE(QFileInfo(moviePath).size(), qMax(repairedEnd, written.fileSize));
    if (repairedEnd < written.fileSize)
        QCOMPARE(readRange(moviePath, repairedEnd, written.fileSize - repairedEnd), tailBefore.mid(repairedEnd - written.mediaEnd));

    // A player's view.
    const int timecodeStreams = written.offsetsOf(ItemKind::TimecodeSample).isEmpty() ? 0 : 1;
    const QString mismatch = RecordedPlayback::mismatch(moviePath, take, written, timecodeStreams);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

QTEST_MAIN(OrlaPlaybackTest)
#include "tst_orlaplayback.moc"
