#include "accessrecordingbuffer.h"
#include "audiofile.h"
#include "wavwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(WavDescription)

namespace {

using Range = AccessRecordingBuffer::Range;

QByteArray u16(quint16 value)
{
    QByteArray bytes(2, Qt::Uninitialized);
    qToLittleEndian<quint16>(value, bytes.data());
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray readFile(const QString& path, qint64 length = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return length < 0 ? file.readAll() : file.read(length);
}

// The file as a finished take has it: data and RIFF sizes from the length.
QByteArray withSizesWritten(QByteArray file, qint64 fileSize, qint64 dataStart)
{
    file.replace(dataStart - 4, 4, u32(quint32(fileSize - dataStart)));
    file.replace(4, 4, u32(quint32(fileSize - 8)));
    return file;
}

// A fmt payload of `size` bytes for a stereo 16-bit layout with this tag,
// holding an extension size and an MPEG layer word where they fit.
QByteArray formatPayload(quint16 tag, int size, quint16 extensionSize = 0, quint16 layer = 0)
{
    QByteArray payload = u16(tag) + u16(2) + u32(48000) + u32(192000) + u16(4) + u16(16)
        + u16(extensionSize) + u16(0) + u16(layer);
    payload.append(QByteArray(qMax(0, size - int(payload.size())), '\0'));
    return payload.left(size);
}

// fmt and data only, as a file without the recorder's metadata chunks.
WavDescription bareTake()
{
    WavDescription description;
    description.withBext = false;
    description.withIxml = false;
    description.samplesPerChannel = 100;
    return description;
}

} // namespace

class TestAudioFile : public QObject
{
    Q_OBJECT

private slots:
    void repairsOpenTake_data();
    void repairsOpenTake();
    void refusesAndLeavesUntouched_data();
    void refusesAndLeavesUntouched();
    void fileBeyondWavSizes_data();
    void fileBeyondWavSizes();

private:
    WrittenWav writeTake(const WavDescription& description, const QString& name = QStringLiteral("take.vla"));

    QTemporaryDir dir;
};

WrittenWav TestAudioFile::writeTake(const WavDescription& description, const QString& name)
{
    const WrittenWav written = WavWriter::write(description, dir.filePath(name));
    if (!written.ok)
        qFatal("%s", qPrintable(written.error));
    return written;
}

void TestAudioFile::repairsOpenTake_data()
{
    QTest::addColumn<WavDescription>("description");
    QTest::addColumn<bool>("open");

    const auto take = [](const WavDescription& base, auto change) {
        WavDescription description = base;
        change(description);
        return description;
    };
    const WavDescription recorder;
    const WavDescription bare = bareTake();

    QTest::newRow("recorder take, 24 bit") << recorder << true;
    QTest::newRow("16 bit mono at 44.1 kHz")
        << take(recorder, [](auto& d) { d.channels = 1; d.bitsPerSample = 16; d.sampleRate = 44100; }) << true;
    QTest::newRow("extensible fmt, 40 bytes: accepted, format left at defaults")
        << take(recorder, [](auto& d) { d.extensibleFormat = true; d.channels = 4; }) << true;
    QTest::newRow("no bext or iXML, data pattern as first samples")
        << take(bare, [](auto& d) { d.strayDataPatternAt = 0; }) << true;
    QTest::newRow("stray data pattern within the samples")
        << take(recorder, [](auto& d) { d.strayDataPatternAt = 301; }) << true;
    QTest::newRow("odd iXML with pad byte")
        << take(recorder, [](auto& d) { d.ixmlLength = 301; }) << true;
    QTest::newRow("odd iXML without pad byte")
        << take(recorder, [](auto& d) { d.ixmlLength = 301; d.padOddChunks = false; }) << true;
    QTest::newRow("odd chunk with pad byte before data")
        << take(bare, [](auto& d) { d.extraChunks = { { "fmt ", formatPayload(1, 16) }, { "JUNK", "12345" } }; }) << true;
    QTest::newRow("odd chunk without pad byte before data")
        << take(bare, [](auto& d) {
               d.extraChunks = { { "fmt ", formatPayload(1, 16) }, { "JUNK", "12345" } };
               d.padOddChunks = false;
           }) << true;
    QTest::newRow("10,000-byte iXML") << take(recorder, [](auto& d) { d.ixmlLength = 10000; }) << true;
    QTest::newRow("bext shorter than its fields")
        << take(recorder, [](auto& d) { d.withBext = false; d.extraChunks = { { "bext", QByteArray(100, 'x') } }; }) << true;
    QTest::newRow("take without samples") << take(recorder, [](auto& d) { d.samplesPerChannel = 0; }) << true;
    QTest::newRow("finished take")
        << take(bare, [](auto& d) { d.finishedDataSize = true; d.riffSize = RiffSizeMode::Finished; }) << false;
}

void TestAudioFile::repairsOpenTake()
{
    QFETCH(WavDescription, description);
    QFETCH(bool, open);

    const WrittenWav written = writeTake(description);
    const QByteArray original = readFile(written.path);
    AccessRecordingBuffer buffer(original);
    AudioFile audio(&buffer);

    QCOMPARE(audio.parse(), AudioFile::Success);
    QCOMPARE(qint64(audio.dataStart), written.dataStart);

    bool wrote = !open;
    QCOMPARE(audio.repairSizes(&wrote), AudioFile::Success);
    QCOMPARE(wrote, open);
    const QByteArray expected = open ? withSizesWritten(original, written.fileSize, written.dataStart) : original;
    QVERIFY(buffer.data() == expected);
    // Exactly the two size fields are written, the data size (what marks
    // the take unfinished) last, and no sample is ever read.
    const QList<Range> sizeFields{ { 4, 4 }, { written.dataSizeOffset, 4 } };
    QCOMPARE(buffer.writes, open ? sizeFields : QList<Range>());
    QVERIFY(buffer.readExtent() <= written.dataStart);
}

void TestAudioFile::refusesAndLeavesUntouched_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("samplesStart");
    QTest::addColumn<int>("result");

    const auto row = [this](const char* name, const WavDescription& description, int result,
                            auto change) {
        const WrittenWav written = writeTake(description);
        QByteArray file = readFile(written.path);
        change(file, written);
        QTest::newRow(name) << file << written.dataStart << result;
    };
    const auto asWritten = [](QByteArray&, const WrittenWav&) {};
    // The given fmt, with the writer's own one after it renamed out of the way.
    const auto onlyThatFormat = [](QByteArray& file, const WrittenWav& written) {
        file.replace(written.chunks.at(3).offset, 4, "fmX ");
    };
    const auto withFormat = [](const QByteArray& payload) {
        WavDescription description;
        description.extraChunks = { { "fmt ", payload } };
        return description;
    };
    const auto withJunkSize = [](quint32 size) {
        return [size](QByteArray& file, const WrittenWav& written) {
            file.replace(written.chunks.at(2).offset + 4, 4, u32(size));
        };
    };
    WavDescription withJunk;
    withJunk.extraChunks = { { "JUNK", "1234" } };
    WavDescription manyChunks = bareTake();
    for (int i = 0; i < 5000; ++i)
        manyChunks.extraChunks.append(RiffChunk{ "JUNK", {} });
    WavDescription float16;
    float16.formatTag = 3;

    row("RIFF, not WAVE", WavDescription(), AudioFile::UnsupportedFormat,
        [](QByteArray& file, const WrittenWav&) { file.replace(8, 4, "AVI "); });
    row("not RIFF", WavDescription(), AudioFile::UnsupportedFormat,
        [](QByteArray& file, const WrittenWav&) { file.replace(0, 4, "RF64"); });
    row("fmt tag 3, 16 bytes", float16, AudioFile::UnsupportedFormat, asWritten);
    row("fmt of 14 bytes", withFormat(formatPayload(1, 14)), AudioFile::UnsupportedFormat, onlyThatFormat);
    row("fmt of 18 bytes", withFormat(formatPayload(1, 18)), AudioFile::UnsupportedFormat, onlyThatFormat);
    row("extensible fmt cut to 20 bytes", withFormat(formatPayload(0xFFFE, 20, 22)),
        AudioFile::UnsupportedFormat, onlyThatFormat);
    row("MPEG fmt shorter than its extension", withFormat(formatPayload(0x50, 20, 24, 2)),
        AudioFile::UnsupportedFormat, onlyThatFormat);
    row("MPEG layer 2", withFormat(formatPayload(0x50, 44, 24, 2)), AudioFile::UnsupportedFormat, onlyThatFormat);
    row("MPEG layer 3", withFormat(formatPayload(0x50, 44, 24, 4)), AudioFile::UnsupportedFormat, onlyThatFormat);
    row("no fmt before data", WavDescription(), AudioFile::NoFormatChunk,
        [](QByteArray& file, const WrittenWav& written) { file.replace(written.chunks.at(2).offset, 4, "fmX "); });
    row("file ends in a chunk header before data", WavDescription(), AudioFile::IoFailure,
        [](QByteArray& file, const WrittenWav& written) { file.truncate(written.chunks.at(1).offset + 5); });
    row("chunk running past the end of the file", withJunk, AudioFile::IoFailure, withJunkSize(0x7FFFFFF0));
    row("chunk size 0xFFFFFFFF", withJunk, AudioFile::IoFailure, withJunkSize(0xFFFFFFFF));
    row("5,000 chunks before data", manyChunks, AudioFile::IoFailure, asWritten);
    row("empty file", WavDescription(), AudioFile::IoFailure, [](QByteArray& file, const WrittenWav&) { file.clear(); });
}

void TestAudioFile::refusesAndLeavesUntouched()
{
    QFETCH(QByteArray, file);
    QFETCH(qint64, samplesStart);
    QFETCH(int, result);

    AccessRecordingBuffer buffer(file);
    AudioFile audio(&buffer);
    QCOMPARE(audio.parse(), result);
    // Even when asked, nothing is written behind a failed parse.
    bool wrote = true;
    QCOMPARE(audio.repairSizes(&wrote), AudioFile::IoFailure);
    QVERIFY(!wrote);
    QVERIFY(buffer.writes.isEmpty());
    QVERIFY(buffer.data() == file);
    QVERIFY(buffer.readExtent() <= samplesStart);
}

void TestAudioFile::fileBeyondWavSizes_data()
{
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<int>("result");
    QTest::newRow("largest file the RIFF size holds") << qint64(0xFFFFFFFFu) + 8 << AudioFile::Success;
    QTest::newRow("one byte more") << qint64(0xFFFFFFFFu) + 9 << AudioFile::FileTooLarge;
}

void TestAudioFile::fileBeyondWavSizes()
{
    QFETCH(qint64, fileSize);
    QFETCH(int, result);

    const WrittenWav written = writeTake(bareTake(), QStringLiteral("long.vla"));
    QFile file(written.path);
    // Grown sparsely: the recorder's samples would follow, the walk never reads them.
    if (!file.resize(fileSize))
        QSKIP("this file system cannot hold a sparse file over 4 GiB");
    const QByteArray head = readFile(written.path, written.dataStart);

    QVERIFY(file.open(QIODevice::ReadWrite));
    if (result == AudioFile::FileTooLarge) {
        QTest::ignoreMessage(QtDebugMsg,
            qPrintable(QStringLiteral("********************* %1 recovery failed, file over 4 GiB, too large for WAV sizes!\n")
                .arg(written.path)));
    }
    {
        AudioFile audio(&file);
        int outcome = audio.parse();
        if (outcome == AudioFile::Success)
            outcome = audio.repairSizes();
        QCOMPARE(outcome, result);
    }
    file.close();

    QCOMPARE(QFileInfo(written.path).size(), fileSize);
    const QByteArray expected = result == AudioFile::Success ? withSizesWritten(head, fileSize, written.dataStart) : head;
    QCOMPARE(readFile(written.path, written.dataStart), expected);
    QFile::remove(written.path);
}

QTEST_MAIN(TestAudioFile)
#include "tst_audiofile.moc"
