// What the WAV take rows cannot show from a file's bytes: which ranges the
// size repair writes and in what order, that it never reads a sample, and
// the refusal of a take longer than WAV sizes can say.

#include "accessrecordingbuffer.h"
#include "audiofile.h"
#include "testcard.h"
#include "wavwriter.h"

#include <QtEndian>
#include <QtTest>

#include <functional>

using Change = std::function<void(QByteArray& file, const WrittenWav& written)>;
Q_DECLARE_METATYPE(WavDescription)
Q_DECLARE_METATYPE(Change)

class TestAudioFile : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReads_data();
    void writesAndReads();
    void fileBeyondWavSizes_data();
    void fileBeyondWavSizes();
};

void TestAudioFile::writesAndReads_data()
{
    QTest::addColumn<WavDescription>("description");
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("open"); // the data size reads 0: both sizes are written

    const auto with = [](std::function<void(WavDescription&)> change) {
        WavDescription description;
        change(description);
        return description;
    };
    const Change none = [](QByteArray&, const WrittenWav&) {};

    QTest::newRow("recorder take") << WavDescription() << none << AudioFile::Success << true;
    QTest::newRow("finished take") << with([](auto& d) {
        d.finishedDataSize = true;
        d.riffSize = RiffSizeMode::Finished;
    }) << none << AudioFile::Success << false;
    QTest::newRow("RIFF, not WAVE") << WavDescription() << Change([](QByteArray& file, const WrittenWav&) { file.replace(8, 4, "AVI "); })
                                    << AudioFile::UnsupportedFormat << false;
    QTest::newRow("no fmt before data") << WavDescription()
                                        << Change([](QByteArray& file, const WrittenWav& written) { file.replace(written.chunks.at(2).offset, 4, "fmX "); })
                                        << AudioFile::NoFormatChunk << false;
    // An odd iXML padded with a printable byte: read from the pad byte on, the
    // next chunk would claim more bytes than the file holds, so the byte is a pad.
    QTest::newRow("odd iXML padded with a printable byte") << with([](auto& d) {
        d.ixmlLength = 301;
        d.extraChunks = { { "JUNK", QByteArray(200, 'j') } };
    }) << Change([](QByteArray& file, const WrittenWav& written) { file[written.chunks.at(1).offset + 8 + 301] = 'x'; })
                                                          << AudioFile::Success << true;
    // A walk gives up after 4,096 chunks: bext, iXML, fmt and empty ones between them.
    QTest::newRow("4,095 chunks before data") << with([](auto& d) { d.extraChunks.fill(RiffChunk{ "JUNK", {} }, 4092); })
                                              << none << AudioFile::Success << true;
    QTest::newRow("4,096 chunks before data") << with([](auto& d) { d.extraChunks.fill(RiffChunk{ "JUNK", {} }, 4093); })
                                              << none << AudioFile::IoFailure << false;
}

void TestAudioFile::writesAndReads()
{
    QFETCH(WavDescription, description);
    QFETCH(Change, change);
    QFETCH(int, result);
    QFETCH(bool, open);

    TestCard card;
    const WrittenWav written = WavWriter::write(description, card.path("take.vla"));
    QVERIFY2(written.ok, qPrintable(written.error));
    QByteArray file = fileBytes(written.path);
    change(file, written);
    AccessRecordingBuffer buffer(file);
    AudioFile audio(&buffer);
    int outcome = audio.parse();
    bool wrote = false;
    if (outcome == AudioFile::Success)
        outcome = audio.repairSizes(&wrote);
    QCOMPARE(outcome, result);
    QCOMPARE(wrote, open);
    // Exactly the two size fields, the data size (what marks the take
    // unfinished) last, and never a sample read.
    const QList<AccessRecordingBuffer::Range> sizeFields{ { 4, 4 }, { written.dataSizeOffset, 4 } };
    QCOMPARE(buffer.writes, open ? sizeFields : QList<AccessRecordingBuffer::Range>());
    QVERIFY(buffer.readExtent() <= written.dataStart);
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

    TestCard card;
    WavDescription description;
    description.withBext = false;
    description.withIxml = false;
    const WrittenWav written = WavWriter::write(description, card.path("long.vla"));
    QByteArray head = fileBytes(written.path).left(written.dataStart);
    QFile file(written.path);
    // Grown sparsely: the recorder's samples would follow, the walk never reads them.
    if (!file.resize(fileSize))
        QSKIP("this file system cannot hold a sparse file over 4 GiB");

    QVERIFY(file.open(QIODevice::ReadWrite));
    if (result == AudioFile::FileTooLarge)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral(
            "********************* %1 recovery failed, file over 4 GiB, too large for WAV sizes!\n").arg(written.path)));
    {
        AudioFile audio(&file);
        int outcome = audio.parse();
        if (outcome == AudioFile::Success)
            outcome = audio.repairSizes();
        QCOMPARE(outcome, result);
    }
    file.close();

    if (result == AudioFile::Success) {
        qToLittleEndian<quint32>(quint32(fileSize - written.dataStart), head.data() + written.dataSizeOffset);
        qToLittleEndian<quint32>(quint32(fileSize - 8), head.data() + 4);
    }
    QCOMPARE(QFileInfo(written.path).size(), fileSize);
    QFile after(written.path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.read(written.dataStart), head);
}

QTEST_MAIN(TestAudioFile)
#include "tst_audiofile.moc"
