#include "filehash.h"
#include "playercheck.h"
#include "testpcm.h"
#include "wavwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(RiffSizeMode)

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 u32At(const QByteArray& bytes, qint64 offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// "fourcc@offset:size" for each chunk header up to data, found by walking
// the file independently of the writer (honouring pad bytes when asked).
QStringList walkChunks(const QByteArray& file, bool padOdd)
{
    QStringList chunks;
    qint64 at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray fourCC = file.mid(at, 4);
        const quint32 size = u32At(file, at + 4);
        chunks.append(QStringLiteral("%1@%2:%3").arg(QString::fromLatin1(fourCC)).arg(at).arg(size));
        if (fourCC == "data")
            break;
        at += 8 + size + (padOdd && size % 2 ? 1 : 0);
    }
    return chunks;
}

} // namespace

class TestWavWriter : public QObject
{
    Q_OBJECT

private slots:
    void chunkLayout_data();
    void chunkLayout();
    void formatChunk_data();
    void formatChunk();
    void samplesAndStrayPattern();
    void riffSize_data();
    void riffSize();
    void finishedTakeDecodesToItsSamples_data();
    void finishedTakeDecodesToItsSamples();

private:
    QTemporaryDir dir;
};

void TestWavWriter::chunkLayout_data()
{
    QTest::addColumn<bool>("bext");
    QTest::addColumn<bool>("ixml");
    QTest::addColumn<int>("ixmlLength");
    QTest::addColumn<bool>("padOdd");
    QTest::addColumn<bool>("oddJunk");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("recorder layout") << true << true << 300 << true << false
        << QStringList{ "bext@12:602", "iXML@622:300", "fmt @930:16", "data@954:0" };
    QTest::newRow("odd iXML padded") << true << true << 301 << true << false
        << QStringList{ "bext@12:602", "iXML@622:301", "fmt @932:16", "data@956:0" };
    QTest::newRow("odd iXML without pad") << true << true << 301 << false << false
        << QStringList{ "bext@12:602", "iXML@622:301", "fmt @931:16", "data@955:0" };
    QTest::newRow("no bext") << false << true << 300 << true << false
        << QStringList{ "iXML@12:300", "fmt @320:16", "data@344:0" };
    QTest::newRow("no bext, no iXML") << false << false << 0 << true << false
        << QStringList{ "fmt @12:16", "data@36:0" };
    QTest::newRow("long iXML") << true << true << 10000 << true << false
        << QStringList{ "bext@12:602", "iXML@622:10000", "fmt @10630:16", "data@10654:0" };
    QTest::newRow("odd junk chunk padded") << false << false << 0 << true << true
        << QStringList{ "JUNK@12:5", "fmt @26:16", "data@50:0" };
    QTest::newRow("odd junk chunk without pad") << false << false << 0 << false << true
        << QStringList{ "JUNK@12:5", "fmt @25:16", "data@49:0" };
}

void TestWavWriter::chunkLayout()
{
    QFETCH(bool, bext);
    QFETCH(bool, ixml);
    QFETCH(int, ixmlLength);
    QFETCH(bool, padOdd);
    QFETCH(bool, oddJunk);
    QFETCH(QStringList, expected);

    WavDescription description;
    description.withBext = bext;
    description.withIxml = ixml;
    description.ixmlLength = ixmlLength;
    description.padOddChunks = padOdd;
    if (oddJunk)
        description.extraChunks.append(RiffChunk{ "JUNK", "12345" });
    const QString path = dir.filePath(QStringLiteral("layout.vla"));
    const WrittenWav written = WavWriter::write(description, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    const QByteArray file = readAll(path);
    QCOMPARE(file.left(4), QByteArray("RIFF"));
    QCOMPARE(file.mid(8, 4), QByteArray("WAVE"));
    QCOMPARE(walkChunks(file, padOdd), expected);

    const qint64 dataHeader = written.chunks.last().offset;
    QCOMPARE(written.dataStart, dataHeader + 8);
    QCOMPARE(written.dataSizeOffset, dataHeader + 4);
    QCOMPARE(file.size(), written.dataStart + 4800 * 2 * 3);
    QCOMPARE(written.fileSize, file.size());
    // The recorder's sizes: data 0, RIFF covering the header chunks only.
    QCOMPARE(u32At(file, written.dataSizeOffset), 0u);
    QCOMPARE(u32At(file, 4), quint32(written.dataStart - 8));
    if (padOdd && (ixmlLength % 2 || oddJunk))
        QCOMPARE(file.at(written.chunks.at(written.chunks.size() - 2).offset - 1), '\0');
    QCOMPARE(written.samplesSha256, FileHash::sha256(file.mid(written.dataStart)));
}

void TestWavWriter::formatChunk_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("extensible");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("pcm 16 stereo") << 2 << 16 << 1 << false
        << QByteArray::fromHex("01000200 80bb0000 00ee0200 0400 1000");
    QTest::newRow("pcm 24 six channels") << 6 << 24 << 1 << false
        << QByteArray::fromHex("01000600 80bb0000 002f0d00 1200 1800");
    QTest::newRow("float tag") << 1 << 32 << 3 << false
        << QByteArray::fromHex("03000100 80bb0000 00ee0200 0400 2000");
    QTest::newRow("extensible 24") << 2 << 24 << 1 << true
        << QByteArray::fromHex("feff0200 80bb0000 00650400 0600 1800 1600 1800 00000000"
                               "01000000 00001000 800000aa 00389b71");
}

void TestWavWriter::formatChunk()
{
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(int, tag);
    QFETCH(bool, extensible);
    QFETCH(QByteArray, expected);

    WavDescription description;
    description.withBext = false;
    description.withIxml = false;
    description.channels = quint16(channels);
    description.bitsPerSample = quint16(bits);
    description.formatTag = quint16(tag);
    description.extensibleFormat = extensible;
    description.samplesPerChannel = 10;
    const QString path = dir.filePath(QStringLiteral("format.vla"));
    const WrittenWav written = WavWriter::write(description, path);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray file = readAll(path);
    QCOMPARE(u32At(file, 16), quint32(expected.size()));
    QCOMPARE(file.mid(20, expected.size()).toHex(' '), expected.toHex(' '));
}

void TestWavWriter::samplesAndStrayPattern()
{
    WavDescription description;
    description.channels = 3;
    description.bitsPerSample = 24;
    description.samplesPerChannel = 1000;
    description.strayDataPatternAt = 4501; // not on a frame boundary, as a chance match would be
    const QString path = dir.filePath(QStringLiteral("stray.vla"));
    const WrittenWav written = WavWriter::write(description, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    const QByteArray samples = readAll(path).mid(written.dataStart);
    QCOMPARE(samples, written.expectedSamples);
    QCOMPARE(samples.mid(4501, 8), QByteArray("data\0\0\0\0", 8));
    QByteArray clean = TestPcm::interleave({ TestPcm::channel(0, 1000, 3), TestPcm::channel(1, 1000, 3),
                                             TestPcm::channel(2, 1000, 3) }, 3);
    QCOMPARE(samples.left(4501), clean.left(4501));
    QCOMPARE(samples.mid(4509), clean.mid(4509));
    QCOMPARE(TestPcm::interleave(written.expectedChannelPcm, 3), samples);
    // Every channel differs from the others and none is silent.
    QVERIFY(clean.mid(0, 3) != clean.mid(3, 3));
    QVERIFY(TestPcm::channel(0, 1000, 3) != TestPcm::channel(1, 1000, 3));
    QVERIFY(TestPcm::channel(2, 1000, 2).count('\0') < 1000);
}

void TestWavWriter::riffSize_data()
{
    QTest::addColumn<RiffSizeMode>("mode");
    QTest::addColumn<bool>("finishedData");
    QTest::addColumn<qint64>("riffSize");
    QTest::addColumn<qint64>("dataSize");

    // No bext, no iXML, 16-byte fmt: data starts at 44; 4800 stereo 24-bit samples.
    QTest::newRow("header size") << RiffSizeMode::HeaderSize << false << qint64(36) << qint64(0);
    QTest::newRow("zero") << RiffSizeMode::Zero << false << qint64(0) << qint64(0);
    QTest::newRow("finished") << RiffSizeMode::Finished << true << qint64(36 + 28800) << qint64(28800);
    QTest::newRow("explicit") << RiffSizeMode::Explicit << false << qint64(123) << qint64(0);
}

void TestWavWriter::riffSize()
{
    QFETCH(RiffSizeMode, mode);
    QFETCH(bool, finishedData);
    QFETCH(qint64, riffSize);
    QFETCH(qint64, dataSize);

    WavDescription description;
    description.withBext = false;
    description.withIxml = false;
    description.riffSize = mode;
    description.riffSizeValue = 123;
    description.finishedDataSize = finishedData;
    const QString path = dir.filePath(QStringLiteral("riff.vla"));
    const WrittenWav written = WavWriter::write(description, path);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray file = readAll(path);
    QCOMPARE(qint64(u32At(file, 4)), riffSize);
    QCOMPARE(qint64(u32At(file, 40)), dataSize);
}

void TestWavWriter::finishedTakeDecodesToItsSamples_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("oddIxml");
    QTest::newRow("16 bit stereo") << 16 << 2 << false;
    QTest::newRow("24 bit, four channels, odd iXML") << 24 << 4 << true;
}

void TestWavWriter::finishedTakeDecodesToItsSamples()
{
    QFETCH(int, bits);
    QFETCH(int, channels);
    QFETCH(bool, oddIxml);

    WavDescription description;
    description.bitsPerSample = quint16(bits);
    description.channels = quint16(channels);
    description.sampleRate = 48000;
    description.samplesPerChannel = 4801;
    description.ixmlLength = oddIxml ? 301 : -1;
    description.finishedDataSize = true;
    description.riffSize = RiffSizeMode::Finished;
    const QString path = dir.filePath(QStringLiteral("finished.wav"));
    const WrittenWav written = WavWriter::write(description, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    const MovieInfo info = PlayerCheck::probe(path);
    QVERIFY2(info.ok, qPrintable(info.error));
    QCOMPARE(info.formatName, QStringLiteral("wav"));
    const QList<StreamInfo> audio = info.streamsOfType(QStringLiteral("audio"));
    QCOMPARE(audio.size(), 1);
    QCOMPARE(audio.first().codecName, QStringLiteral("pcm_s%1le").arg(bits));
    QCOMPARE(audio.first().channels, channels);
    QCOMPARE(audio.first().sampleRate, 48000);
    QCOMPARE(audio.first().durationTs, qint64(4801));

    QString error;
    const QByteArray decoded = PlayerCheck::audioSamples(path, 0, bits / 8, &error);
    QVERIFY2(!decoded.isEmpty(), qPrintable(error));
    QCOMPARE(decoded.size(), written.expectedSamples.size());
    QVERIFY(decoded == written.expectedSamples);
}

QTEST_GUILESS_MAIN(TestWavWriter)
#include "tst_wavwriter.moc"
