#include "filehash.h"
#include "playercheck.h"
#include "recordingwriter.h"
#include "referencemovie.h"
#include "testvideo.h"
#include "timecodetext.h"
#include "toolprocess.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(VideoFormat)

namespace {

QByteArray readAt(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestPlayerCheck : public QObject
{
    Q_OBJECT

private slots:
    void encodedMedia_data();
    void encodedMedia();
    void referenceMovieMatchesWrittenTake_data();
    void referenceMovieMatchesWrittenTake();
    void timecodeAsThePlayerPrintsIt_data();
    void timecodeAsThePlayerPrintsIt();
    void unreadableFileIsReported();
    void fileRangeDigest();

private:
    QTemporaryDir dir;
};

void TestPlayerCheck::encodedMedia_data()
{
    QTest::addColumn<VideoFormat>("format");
    QTest::addColumn<QString>("codecName");
    QTest::addColumn<QString>("codecTag");
    QTest::addColumn<quint32>("compressionId");

    const QString rate = QStringLiteral("25");
    QTest::newRow("prores proxy") << VideoFormat::proRes(ProResProfile::Proxy, 640, 360, rate, 3) << "prores" << "apco" << 0u;
    QTest::newRow("prores lt") << VideoFormat::proRes(ProResProfile::Lt, 640, 360, rate, 3) << "prores" << "apcs" << 0u;
    QTest::newRow("prores standard") << VideoFormat::proRes(ProResProfile::Standard, 640, 360, rate, 3) << "prores" << "apcn" << 0u;
    QTest::newRow("prores hq 23.976") << VideoFormat::proRes(ProResProfile::Hq, 1280, 720, QStringLiteral("24000/1001"), 6)
                                      << "prores" << "apch" << 0u;
    QTest::newRow("prores hq interlaced") << VideoFormat::proRes(ProResProfile::Hq, 1920, 1080, QStringLiteral("30000/1001"), 3, true)
                                          << "prores" << "apch" << 0u;
    QTest::newRow("prores 4444") << VideoFormat::proRes(ProResProfile::P4444, 640, 360, rate, 3) << "prores" << "ap4h" << 0u;
    QTest::newRow("prores 4444 xq") << VideoFormat::proRes(ProResProfile::P4444Xq, 640, 360, rate, 3) << "prores" << "ap4x" << 0u;
    QTest::newRow("dnxhd 1080i") << VideoFormat::dnxhd(1920, 1080, true, 120, QStringLiteral("30000/1001"), 4)
                                 << "dnxhd" << "AVdn" << 1242u;
    QTest::newRow("dnxhd 1080p") << VideoFormat::dnxhd(1920, 1080, false, 36, QStringLiteral("24000/1001"), 3)
                                 << "dnxhd" << "AVdn" << 1253u;
    QTest::newRow("dnxhd 720p") << VideoFormat::dnxhd(1280, 720, false, 90, QStringLiteral("60000/1001"), 3)
                                << "dnxhd" << "AVdn" << 1251u;
}

void TestPlayerCheck::encodedMedia()
{
    QFETCH(VideoFormat, format);
    QFETCH(QString, codecName);
    QFETCH(QString, codecTag);
    QFETCH(quint32, compressionId);

    const EncodedVideo video = TestVideo::encode(format);
    QVERIFY2(video.ok, qPrintable(video.error));
    QCOMPARE(video.codecName, codecName);
    QCOMPARE(video.codecTag, codecTag);
    QCOMPARE(video.avidCompressionId, compressionId);
    QCOMPARE(video.frames.size(), format.frameCount);
    QCOMPARE(video.frameMd5.size(), format.frameCount);
    QCOMPARE(QSet<QString>(video.frameMd5.cbegin(), video.frameMd5.cend()).size(), format.frameCount);

    // The extracted frames are exactly the packets a demuxer reads: with
    // stream copy, framemd5 hashes packet bytes.
    const ToolRun packets = ToolProcess::run(QStringLiteral("ffmpeg"),
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-i"), video.moviePath,
          QStringLiteral("-map"), QStringLiteral("0:v:0"), QStringLiteral("-c"), QStringLiteral("copy"),
          QStringLiteral("-f"), QStringLiteral("framemd5"), QStringLiteral("-") });
    QVERIFY2(packets.ok, qPrintable(packets.describe()));
    QStringList frameHashes;
    for (const QByteArray& frame : video.frames)
        frameHashes.append(QString::fromLatin1(QCryptographicHash::hash(frame, QCryptographicHash::Md5).toHex()));
    QCOMPARE(frameHashes, PlayerCheck::parseFrameMd5(packets.standardOutput));

    // Asking again is served from the cache with the same frames.
    const EncodedVideo again = TestVideo::encode(format);
    QVERIFY(again.ok);
    QCOMPARE(again.frames, video.frames);
}

void TestPlayerCheck::referenceMovieMatchesWrittenTake_data()
{
    QTest::addColumn<VideoFormat>("format");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bytesPerSample");

    QTest::newRow("prores hq, no audio") << VideoFormat::proRes(ProResProfile::Hq, 1280, 720, QStringLiteral("24000/1001"), 6) << 0 << 3;
    QTest::newRow("prores hq, one 16-bit channel") << VideoFormat::proRes(ProResProfile::Hq, 1280, 720, QStringLiteral("24000/1001"), 6) << 1 << 2;
    QTest::newRow("dnxhd 1080i, two 24-bit channels") << VideoFormat::dnxhd(1920, 1080, true, 120, QStringLiteral("30000/1001"), 4) << 2 << 3;
    QTest::newRow("prores 4444, two 32-bit channels") << VideoFormat::proRes(ProResProfile::P4444, 640, 360, QStringLiteral("25"), 3) << 2 << 4;
}

void TestPlayerCheck::referenceMovieMatchesWrittenTake()
{
    QFETCH(VideoFormat, format);
    QFETCH(int, channels);
    QFETCH(int, bytesPerSample);

    const EncodedVideo video = TestVideo::encode(format);
    QVERIFY2(video.ok, qPrintable(video.error));
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.setVideo(video);
    take.setAudio(quint32(channels), quint32(bytesPerSample), channels ? 3 : 0, 700, 300);
    take.audioSamplesPerChunk = 1024;
    const QString takePath = dir.filePath(QStringLiteral("take.vlv"));
    const WrittenTake written = RecordingWriter::write(take, takePath);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(written.expectedFrameMd5, video.frameMd5);
    const QList<qint64> frameOffsets = written.offsetsOf(ItemKind::VideoFrame);
    for (int i = 0; i < video.frames.size(); ++i)
        QCOMPARE(readAt(takePath, frameOffsets.at(i), video.frames.at(i).size()), video.frames.at(i));

    // ffmpeg's own movie of the same frames and of the take's channels, one mono stream each.
    ReferenceMovieContent content;
    content.video = &video;
    content.channelPcm = written.expectedChannelPcm;
    content.bytesPerSample = bytesPerSample;
    content.timecode = written.expectedTimecode;
    const QString reference = dir.filePath(QStringLiteral("reference.mov"));
    const QString muxError = ReferenceMovie::write(content, reference);
    QVERIFY2(muxError.isEmpty(), qPrintable(muxError));

    const MovieInfo info = PlayerCheck::probe(reference);
    QVERIFY2(info.ok, qPrintable(info.error));
    const QList<StreamInfo> videoStreams = info.streamsOfType(QStringLiteral("video"));
    QCOMPARE(videoStreams.size(), 1);
    QCOMPARE(videoStreams.first().codecName, video.codecName);
    QCOMPARE(videoStreams.first().frameCount, qint64(format.frameCount));
    QCOMPARE(videoStreams.first().packetCount, qint64(format.frameCount));
    QCOMPARE(videoStreams.first().width, format.width);
    const QList<StreamInfo> timecodeStreams = info.streamsOfType(QStringLiteral("data"));
    QCOMPARE(timecodeStreams.size(), 1);
    QCOMPARE(timecodeStreams.first().codecTag, QStringLiteral("tmcd"));
    QCOMPARE(timecodeStreams.first().timecode, written.expectedTimecode);

    QString error;
    QCOMPARE(PlayerCheck::videoFrameMd5(reference, 0, &error), written.expectedFrameMd5);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QList<StreamInfo> audioStreams = info.streamsOfType(QStringLiteral("audio"));
    QCOMPARE(audioStreams.size(), channels);
    QCOMPARE(written.expectedSamplesPerChannel, qint64(channels ? 700 + 1024 + 300 : 0));
    for (int channel = 0; channel < channels; ++channel) {
        QCOMPARE(audioStreams.at(channel).channels, 1);
        QCOMPARE(audioStreams.at(channel).sampleRate, 48000);
        const QByteArray decoded = PlayerCheck::audioSamples(reference, channel, bytesPerSample, &error);
        QVERIFY2(!decoded.isEmpty(), qPrintable(error));
        QVERIFY2(decoded == written.expectedChannelPcm.at(channel), qPrintable(QStringLiteral("channel %1").arg(channel)));
    }
    if (channels == 2)
        QVERIFY(written.expectedChannelPcm.at(0) != written.expectedChannelPcm.at(1));
}

void TestPlayerCheck::timecodeAsThePlayerPrintsIt_data()
{
    QTest::addColumn<QString>("frameRate");
    QTest::addColumn<quint32>("timeScale");
    QTest::addColumn<quint32>("duration");
    QTest::addColumn<QString>("timecode");

    QTest::newRow("23.976") << "24000/1001" << 23976u << 1000u << "00:59:59:23";
    QTest::newRow("25") << "25" << 2500u << 100u << "10:00:00:00";
    QTest::newRow("29.97 drop") << "30000/1001" << 2997u << 100u << "01:00:00;00";
    QTest::newRow("29.97 drop late") << "30000/1001" << 2997u << 100u << "13:27:11;14";
    QTest::newRow("29.97 non-drop") << "30000/1001" << 2997u << 100u << "01:00:00:00";
}

void TestPlayerCheck::timecodeAsThePlayerPrintsIt()
{
    QFETCH(QString, frameRate);
    QFETCH(quint32, timeScale);
    QFETCH(quint32, duration);
    QFETCH(QString, timecode);

    const EncodedVideo video = TestVideo::encode(VideoFormat::proRes(ProResProfile::Proxy, 640, 360, frameRate, 2));
    QVERIFY2(video.ok, qPrintable(video.error));
    const QString movie = dir.filePath(QStringLiteral("timecode.mov"));
    const ToolRun mux = ToolProcess::run(QStringLiteral("ffmpeg"),
        { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-y"),
          QStringLiteral("-i"), video.moviePath, QStringLiteral("-c"), QStringLiteral("copy"),
          QStringLiteral("-timecode"), timecode, movie });
    QVERIFY2(mux.ok, qPrintable(mux.describe()));
    const MovieInfo info = PlayerCheck::probe(movie);
    QVERIFY2(info.ok, qPrintable(info.error));
    const QList<StreamInfo> timecodeStreams = info.streamsOfType(QStringLiteral("data"));
    QCOMPARE(timecodeStreams.size(), 1);
    QCOMPARE(timecodeStreams.first().timecode, timecode);

    // The same text from the frame number in a track timed as a repair times it.
    const qint64 frame = TimecodeText::toFrameNumber(timecode, TimecodeText::framesPerSecond(timeScale, duration));
    QVERIFY(frame >= 0);
    QCOMPARE(TimecodeText::fromFrameNumber(quint32(frame), timeScale, duration, timecode.contains(QLatin1Char(';'))),
             timecode);
}

void TestPlayerCheck::unreadableFileIsReported()
{
    const QString path = dir.filePath(QStringLiteral("not-a-movie.mov"));
    QVERIFY(writeFile(path, QByteArray(4096, 'x')));
    const MovieInfo info = PlayerCheck::probe(path);
    QVERIFY(!info.ok);
    QVERIFY(!info.error.isEmpty());
    QString error;
    QVERIFY(PlayerCheck::videoFrameMd5(path, 0, &error).isEmpty());
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(PlayerCheck::audioSamples(path, 0, 3, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestPlayerCheck::fileRangeDigest()
{
    const QString path = dir.filePath(QStringLiteral("digest.bin"));
    QVERIFY(writeFile(path, QByteArrayLiteral("xxabcyy")));
    QCOMPARE(FileHash::sha256(path, 2, 3).toHex(),
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(FileHash::sha256(path), FileHash::sha256(QByteArrayLiteral("xxabcyy")));
    QVERIFY(FileHash::sha256(path, 5, 3).isEmpty());
}

QTEST_GUILESS_MAIN(TestPlayerCheck)
#include "tst_playercheck.moc"
