// A player decodes the sound tracks the library describes, at every sample
// rate and sample width the recorders use, 96 and 192 kHz included.

#include "quicktimechunkoffset64atom.h"
#include "quicktimedatainformationatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefileatom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimetestsupport.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackheaderatom.h"

#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr quint32 samplesPerChunk = 512;
constexpr quint32 chunkCount = 6;

// Runs a tool to its end; its standard output, or a null array on failure.
QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

// Little-endian samples of a rising and falling ramp, one sample width wide.
QByteArray pcm(quint32 bytesPerSample, quint32 samples)
{
    QByteArray data;
    for (quint32 i = 0; i < samples; ++i) {
        const quint32 value = (i * 2654435761u) >> (32 - 8 * bytesPerSample);
        for (quint32 byte = 0; byte < bytesPerSample; ++byte)
            data.append(char(value >> (8 * byte)));
    }
    return data;
}

} // namespace

class TestSoundPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playerDecodesSound_data();
    void playerDecodesSound();

private:
    QString ffprobe;
    QString ffmpeg;
};

void TestSoundPlayback::initTestCase()
{
    ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    QVERIFY2(!ffprobe.isEmpty() && !ffmpeg.isEmpty(), "ffmpeg and ffprobe are needed (./dev installs them)");
}

void TestSoundPlayback::playerDecodesSound_data()
{
    QTest::addColumn<quint32>("rate");
    QTest::addColumn<quint32>("bytesPerSample");
    QTest::addColumn<QString>("codec");

    QTest::newRow("48 kHz, 24 bit") << 48000u << 3u << QStringLiteral("pcm_s24le");
    QTest::newRow("48 kHz, 32 bit") << 48000u << 4u << QStringLiteral("pcm_s32le");
    QTest::newRow("96 kHz, 24 bit") << 96000u << 3u << QStringLiteral("pcm_s24le");
    QTest::newRow("96 kHz, 32 bit") << 96000u << 4u << QStringLiteral("pcm_s32le");
    QTest::newRow("192 kHz, 24 bit") << 192000u << 3u << QStringLiteral("pcm_s24le");
    QTest::newRow("88.2 kHz, 16 bit") << 88200u << 2u << QStringLiteral("pcm_s16le");
    QTest::newRow("48 kHz, 16 bit") << 48000u << 2u << QStringLiteral("pcm_s16le");
}

void TestSoundPlayback::playerDecodesSound()
{
    QFETCH(quint32, rate);
    QFETCH(quint32, bytesPerSample);
    QFETCH(QString, codec);

    // A recording laid out as the recorders do: the media at its fixed
    // offset, one audio chunk of 512 samples per frame map entry.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile device(dir.filePath(QStringLiteral("take.mov")));
    QVERIFY(device.open(QIODevice::ReadWrite));
    TestMovie movie;
    QuickTimeFile* file = movie.get();
    file->device = &device;
    const quint32 chunkBlocks = samplesPerChunk * bytesPerSample / 512;
    movie.setFrameMap(QList<quint16>(chunkCount, entry(0, int(chunkBlocks))));
    file->audioBytesPerSample = bytesPerSample;
    file->audioSampleRate = rate;
    file->audioLittleEndian = 1;
    file->videoTimeScale = 2500;
    file->videoSampleDuration = 100;

    const quint32 samples = samplesPerChunk * chunkCount;
    const QByteArray sound = pcm(bytesPerSample, samples);
    {
        QDataStream stream(&device);
        QuickTimeFileAtom fileType;
        fileType.write(stream);
        stream << quint32(QuickTimeFile::movieDataHeaderOffset - 20) << fourCC("free");
        QVERIFY(device.seek(qint64(QuickTimeFile::movieDataHeaderOffset)));
        QuickTimeMovieDataAtom mediaData(quint64(sound.size()));
        mediaData.write(stream);
        QCOMPARE(device.pos(), qint64(QuickTimeFile::mediaDataOffset));
        QCOMPARE(device.write(sound), qint64(sound.size()));
    }

    auto* moov = file->root.addChild(new QuickTimeMovieAtom(file));
    moov->offset = device.pos();
    moov->addChild(new QuickTimeMovieHeaderAtom(file));
    auto* track = moov->addChild(new QuickTimeTrackAtom(file));
    track->addChild(new QuickTimeTrackHeaderAtom(file, 1, 0, 0, 0, 256));
    auto* media = track->addChild(new QuickTimeMediaAtom(file));
    media->addChild(new QuickTimeMediaHeaderAtom(file, rate, samples));
    media->addChild(new QuickTimeHandlerReferenceAtom(fourCC("mhlr"), fourCC("soun"), file));
    auto* information = media->addChild(new QuickTimeMediaInformationAtom(file));
    information->addChild(new QuickTimeSoundInformationAtom(file));
    information->addChild(new QuickTimeHandlerReferenceAtom(fourCC("dhlr"), fourCC("alis"), file));
    information->addChild(new QuickTimeDataInformationAtom(file))->addChild(new QuickTimeDataReferenceAtom(file));
    auto* table = information->addChild(new QuickTimeSampleTableAtom(file));
    table->addChild(new QuickTimeSampleDescriptionAtom(file))->addDescription(new QuickTimeSoundSampleDescription(file, 0, rate));
    table->addChild(new QuickTimeTimeToSampleAtom(file, samples, 1));
    table->addChild(new QuickTimeSampleToChunkAtom(file, samplesPerChunk, chunkCount, 0, 0));
    table->addChild(new QuickTimeSampleSizeAtom(file, QuickTimeFile::AudioChunk, samples, bytesPerSample));
    table->addChild(new QuickTimeChunkOffset64Atom(file, QuickTimeFile::AudioChunk, chunkCount, 0, 1, 0, 0));
    {
        DebugLines streamingLines;
        QVERIFY(file->writeMovie());
    }
    device.close();

    const QString path = device.fileName();
    const QByteArray probed = run(ffprobe, { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
        QStringLiteral("stream=codec_name,sample_rate,channels"), QStringLiteral("-of"), QStringLiteral("default=nw=1"), path });
    QCOMPARE(QString::fromLatin1(probed).trimmed().split(QLatin1Char('\n')),
        QStringList({ QStringLiteral("codec_name=") + codec, QStringLiteral("sample_rate=%1").arg(rate), QStringLiteral("channels=1") }));

    // Decoded to the same sample format, the samples come back bit for bit.
    const QString rawFormat = codec.mid(4);
    const QByteArray decoded = run(ffmpeg, { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
        QStringLiteral("-f"), rawFormat, QStringLiteral("-") });
    QCOMPARE(decoded.size(), sound.size());
    QVERIFY(decoded == sound);
}

QTEST_MAIN(TestSoundPlayback)
#include "tst_soundplayback.moc"
