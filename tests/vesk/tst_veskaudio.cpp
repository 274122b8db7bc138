// Vesk sound takes through the finalize flow: the result code of every
// kind of WAV file, the name it leaves under, exactly two size fields
// written on a take that is repaired, and a player and a second reader
// that find the recorded samples.

#include "filehash.h"
#include "playercheck.h"
#include "toolprocess.h"
#include "veskcard.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(WavDescription)

namespace {

using FileChange = std::function<void(QByteArray& file, const WrittenWav& written)>;

quint32 u32At(const QByteArray& bytes, qint64 offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// The samples a second reader finds announced in the header.
qint64 soxiSampleCount(const QString& path)
{
    const ToolRun run = ToolProcess::run(QStringLiteral("soxi"), { QStringLiteral("-s"), path });
    bool ok = false;
    const qint64 count = run.standardOutput.trimmed().toLongLong(&ok);
    return run.ok && ok ? count : -1;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

Q_DECLARE_METATYPE(FileChange)

class VeskAudioTest : public QObject
{
    Q_OBJECT

private slots:
    void soundTake_data();
    void soundTake();
    void repairedTakePlaysItsSamples_data();
    void repairedTakePlaysItsSamples();
    void takeBeyondWavSizes();
};

void VeskAudioTest::soundTake_data()
{
    QTest::addColumn<WavDescription>("description");
    QTest::addColumn<FileChange>("change");
    QTest::addColumn<int>("result");

    const FileChange asWritten = [](QByteArray&, const WrittenWav&) {};
    WavDescription recorder;
    recorder.samplesPerChannel = 1000;

    QTest::newRow("unfinished take") << recorder << asWritten << 0;
    {
        WavDescription description = recorder;
        description.extensibleFormat = true;
        QTest::newRow("extensible fmt: accepted") << description << asWritten << 0;
    }
    {
        WavDescription description = recorder;
        description.ixmlLength = 10000;
        QTest::newRow("10,000-byte iXML") << description << asWritten << 0;
    }
    {
        WavDescription description = recorder;
        description.withBext = false;
        description.withIxml = false;
        description.strayDataPatternAt = 0;
        QTest::newRow("no bext or iXML, a data pattern as the first samples") << description << asWritten << 0;
    }
    {
        WavDescription description = recorder;
        description.strayDataPatternAt = 1000;
        QTest::newRow("stray data pattern within the samples") << description << asWritten << 0;
    }
    {
        WavDescription description = recorder;
        description.ixmlLength = 301;
        QTest::newRow("odd iXML with its pad byte") << description << asWritten << 0;
        description.padOddChunks = false;
        QTest::newRow("odd iXML without a pad byte") << description << asWritten << 0;
    }
    {
        WavDescription description = recorder;
        description.finishedDataSize = true;
        description.riffSize = RiffSizeMode::Finished;
        QTest::newRow("finished take: a second repair writes nothing") << description << asWritten << 0;
    }
    QTest::newRow("RIFF, not WAVE") << recorder
                                    << FileChange([](QByteArray& file, const WrittenWav&) { file.replace(8, 4, "AVI "); })
                                    << 148;
    {
        WavDescription description = recorder;
        description.formatTag = 3;
        QTest::newRow("fmt tag 3") << description << asWritten << 148;
    }
    {
        // An extensible fmt that declares 22 bytes of extension in a 20-byte
        // chunk, ahead of the writer's own one, which is renamed out of the way.
        WavDescription description = recorder;
        description.extraChunks = { { "fmt ", QByteArray::fromHex("feff020080bb000000ee0200040010001600" "0000") } };
        QTest::newRow("fmt shorter than its declared fields")
            << description
            << FileChange([](QByteArray& file, const WrittenWav& written) { file.replace(written.chunks.at(3).offset, 4, "fmX "); })
            << 148;
    }
    QTest::newRow("no fmt before data")
        << recorder << FileChange([](QByteArray& file, const WrittenWav& written) { file.replace(written.chunks.at(2).offset, 4, "fmX "); })
        << 8;
    QTest::newRow("header cut off in a chunk header")
        << recorder << FileChange([](QByteArray& file, const WrittenWav& written) { file.truncate(written.chunks.at(1).offset + 5); })
        << 31;
}

void VeskAudioTest::soundTake()
{
    QFETCH(WavDescription, description);
    QFETCH(FileChange, change);
    QFETCH(int, result);

    VeskCard card;
    const WrittenWav written = card.writeWav(description, "B001S001.vla");
    QVERIFY2(written.ok, qPrintable(written.error));
    QByteArray before = VeskCard::fileBytes(written.path);
    change(before, written);
    QVERIFY(writeBytes(written.path, before));

    const VeskFlowCall call = VeskFlowCall::run(written.path);
    const QString finalPath = card.path(result == 0 ? "B001S001.wav" : "B001S001.nra");
    QCOMPARE(call.result, result);
    QCOMPARE(call.lines, QStringList{ VeskLines::doing() });
    QCOMPARE(call.isOrla, 0);
    QCOMPARE(call.outputFileName, finalPath);
    QVERIFY(!QFile::exists(written.path));

    // A refused file keeps every byte; a repaired one differs in its two
    // size fields at most, which then give the file's length.
    const QByteArray after = VeskCard::fileBytes(finalPath);
    QCOMPARE(after.size(), before.size());
    if (result != 0) {
        QVERIFY(after == before);
        return;
    }
    QByteArray expected = before;
    qToLittleEndian<quint32>(quint32(after.size() - written.dataStart), expected.data() + written.dataSizeOffset);
    qToLittleEndian<quint32>(quint32(after.size() - 8), expected.data() + 4);
    if (!description.finishedDataSize)
        QVERIFY(after == expected);
    else
        QVERIFY(after == before);
    QCOMPARE(u32At(after, 4), quint32(after.size() - 8));
    // A second reader, where one can follow the chunks: sox takes RIFF's pad bytes as given.
    if (description.padOddChunks)
        QCOMPARE(soxiSampleCount(finalPath), description.samplesPerChannel);
}

void VeskAudioTest::repairedTakePlaysItsSamples_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("channels");
    QTest::newRow("16 bit stereo") << 16 << 2;
    QTest::newRow("24 bit, four channels") << 24 << 4;
}

void VeskAudioTest::repairedTakePlaysItsSamples()
{
    QFETCH(int, bits);
    QFETCH(int, channels);

    VeskCard card;
    WavDescription description;
    description.bitsPerSample = quint16(bits);
    description.channels = quint16(channels);
    description.samplesPerChannel = 48000;
    const WrittenWav written = card.writeWav(description, "SOUND/B001S001.vla");
    QVERIFY2(written.ok, qPrintable(written.error));

    const ScanRun run = card.finalize();
    const QString wavPath = card.path("SOUND/B001S001.wav");
    QCOMPARE(run.lines, (QStringList{ VeskLines::scanning(card.root()), VeskLines::scanning(card.path("SOUND")),
                                      VeskLines::doing(), VeskLines::result(wavPath, true) }));
    QCOMPARE(run.finalized, 1);

    QCOMPARE(FileHash::sha256(wavPath, written.dataStart), written.samplesSha256);
    QCOMPARE(soxiSampleCount(wavPath), description.samplesPerChannel);
    const MovieInfo info = PlayerCheck::probe(wavPath);
    QVERIFY2(info.ok, qPrintable(info.error));
    QCOMPARE(info.streams.size(), 1);
    QCOMPARE(info.streams.first().codecName, QStringLiteral("pcm_s%1le").arg(bits));
    QCOMPARE(info.streams.first().channels, channels);
    QCOMPARE(info.streams.first().durationTs, description.samplesPerChannel);
    QString error;
    const QByteArray decoded = PlayerCheck::audioSamples(wavPath, 0, bits / 8, &error);
    QVERIFY2(decoded == written.expectedSamples, qPrintable(error));
}

void VeskAudioTest::takeBeyondWavSizes()
{
    // Sizes of a file past 4 GiB would wrap around in the 32-bit fields:
    // the take is refused with its line and not a byte changes.
    VeskCard card;
    WavDescription description;
    description.samplesPerChannel = 100;
    const WrittenWav written = card.writeWav(description, "B001S001.vla");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray headBefore = VeskCard::fileBytes(written.path).left(written.dataStart);
    const qint64 size = qint64(0xFFFFFFFFu) + 9;
    {
        QFile file(written.path);
        QVERIFY(file.resize(size)); // sparse: the samples beyond are a hole
    }

    const VeskFlowCall call = VeskFlowCall::run(written.path);
    const QString finalPath = card.path("B001S001.nra");
    QCOMPARE(call.result, 223);
    QCOMPARE(call.lines, (QStringList{ VeskLines::doing(),
                                       VeskLines::failure(written.path, "file over 4 GiB, too large for WAV sizes") }));
    QCOMPARE(QFileInfo(finalPath).size(), size);
    QFile file(finalPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(written.dataStart), headBefore);
}

QTEST_MAIN(VeskAudioTest)
#include "tst_veskaudio.moc"
