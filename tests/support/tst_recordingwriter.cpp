#include "filehash.h"
#include "recordinghead.h"
#include "recordinglayout.h"
#include "recordingwriter.h"
#include "testpcm.h"
#include "testvideo.h"
#include "timecodetext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(RecorderFamily)
Q_DECLARE_METATYPE(RecordedEndMode)
Q_DECLARE_METATYPE(ProResProfile)

namespace {

QByteArray readAt(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(length);
}

// Stand-in frames: distinct bytes of chosen sizes, no encoder needed.
QList<QByteArray> fakeFrames(const QList<int>& sizes)
{
    QList<QByteArray> frames;
    for (int i = 0; i < sizes.size(); ++i) {
        QByteArray frame(sizes.at(i), Qt::Uninitialized);
        for (int b = 0; b < frame.size(); ++b)
            frame[b] = char(i * 31 + b * 7 + 1);
        frames.append(frame);
    }
    return frames;
}

QStringList fakeMd5(int count)
{
    QStringList md5;
    for (int i = 0; i < count; ++i)
        md5.append(QStringLiteral("frame%1").arg(i));
    return md5;
}

// Seven frames in chunks of three (not dividing), four audio chunks of two
// 3-byte channels with their own first and last sample counts.
TakeDescription smallTake(RecorderFamily family)
{
    TakeDescription take = TakeDescription::forFamily(family);
    take.videoFrames = fakeFrames({ 1000, 512, 700, 1500, 2048, 1, 513 });
    take.videoFrameMd5 = fakeMd5(take.videoFrames.size());
    take.videoSamplesPerChunk = 3;
    take.audioSamplesPerChunk = 512;
    take.setAudio(2, 3, 4, 100, 200);
    take.startTimecode = 90000;
    return take;
}

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace

class TestRecordingWriter : public QObject
{
    Q_OBJECT

private slots:
    void headBytes_data();
    void headBytes();
    void settingsFields_data();
    void settingsFields();
    void frameMapAndItems_data();
    void frameMapAndItems();
    void recordedEndAndTrailingBytes_data();
    void recordedEndAndTrailingBytes();
    void tornTail_data();
    void tornTail();
    void rawOverrides();
    void explicitItemOrder();
    void mismatchedItemOrderIsRefused();
    void timecodeText_data();
    void timecodeText();
    void movieTiming_data();
    void movieTiming();
    void codecNumbers_data();
    void codecNumbers();

private:
    QTemporaryDir dir;
};

void TestRecordingWriter::headBytes_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray openMdat = QByteArray::fromHex("00000001") + "mdat" + QByteArray::fromHex("0000000000000010");
    QTest::newRow("orla ftyp") << RecorderFamily::Orla << qint64(0)
        << QByteArray::fromHex("00000014") + "ftypqt  " + QByteArray::fromHex("20070400") + "qt  ";
    QTest::newRow("orla udta") << RecorderFamily::Orla << qint64(20) << QByteArray::fromHex("00537fdc") + "udta";
    QTest::newRow("orla urec") << RecorderFamily::Orla << qint64(28) << QByteArray::fromHex("00000008") + "urec";
    QTest::newRow("orla settings start") << RecorderFamily::Orla << qint64(36) << QByteArray::fromHex("01010000");
    QTest::newRow("orla map start") << RecorderFamily::Orla << qint64(156) << QByteArray::fromHex("0180");
    QTest::newRow("orla mdat") << RecorderFamily::Orla << qint64(5472240) << openMdat;
    QTest::newRow("orla first item") << RecorderFamily::Orla << qint64(5472256) << QByteArray::fromHex("00015f90 00000000");
    QTest::newRow("vesk ftyp") << RecorderFamily::Vesk << qint64(0)
        << QByteArray::fromHex("00537ff0") + "ftypqt  " + QByteArray::fromHex("20070400") + "qt  ";
    QTest::newRow("vesk settings start") << RecorderFamily::Vesk << qint64(20) << QByteArray::fromHex("01010000");
    QTest::newRow("vesk map start") << RecorderFamily::Vesk << qint64(128) << QByteArray::fromHex("0240");
    QTest::newRow("vesk mdat") << RecorderFamily::Vesk << qint64(5472240) << openMdat;
    QTest::newRow("vesk first item") << RecorderFamily::Vesk << qint64(5472256) << fakeFrames({ 8 }).first();
}

void TestRecordingWriter::headBytes()
{
    QFETCH(RecorderFamily, family);
    QFETCH(qint64, offset);
    QFETCH(QByteArray, expected);

    const QString path = dir.filePath(QStringLiteral("head.vlv"));
    const WrittenTake written = RecordingWriter::write(smallTake(family), path);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(hex(readAt(path, offset, expected.size())), hex(expected));

    // Between the frame map and the mdat header the reserved room stays zero.
    const qint64 mapEnd = RecordingHead::frameMapOffset(family) + 2 * written.frameMap.size();
    const QByteArray rest = readAt(path, mapEnd, RecordingLayout::movieDataHeaderOffset - mapEnd);
    QCOMPARE(rest.count('\0'), rest.size());
}

void TestRecordingWriter::settingsFields_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");

    struct Row { const char* name; int orla; int vesk; const char* bytes; };
    // The take below, field by field, little-endian.
    const Row rows[] = {
        { "vendor 1", 0, 0, "01010000" },
        { "start timecode", 4, 4, "5ba50100" },       // 107,867
        { "drop frame", 8, 8, "01" },
        { "vendor 2", 12, 12, "02000200" },
        { "recorded rate", 16, 16, "6a170000" },      // 5994
        { "vendor 5", 20, 20, "05000000" },
        { "channels", 24, 24, "02000000" },
        { "bytes per sample", 28, 28, "04000000" },
        { "sample rate", 32, 32, "80bb0000" },
        { "psf", 36, 36, "01000000" },
        { "width", 40, 40, "8007" },
        { "height", 42, 42, "3804" },
        { "interlaced", 44, 44, "01000000" },
        { "avid id", 48, 48, "da040000" },
        { "codec", 52, 52, "02000000" },
        { "flavour", 56, 56, "01000000" },
        { "last chunk samples", 60, 60, "c8000000" },
        { "first chunk samples", 64, 64, "64000000" },
        { "recorded end", 72, 68, "0000390000000000" }, // 0x390000 below 4 GiB
        { "audio samples per chunk", 80, -1, "00020000" },
        { "video samples per chunk", 84, -1, "03000000" },
        { "reel name", 88, 76, "5245454c2d3037000000" },
    };
    for (const Row& row : rows) {
        QTest::addRow("orla %s", row.name) << RecorderFamily::Orla << row.orla << QByteArray::fromHex(row.bytes);
        if (row.vesk >= 0)
            QTest::addRow("vesk %s", row.name) << RecorderFamily::Vesk << row.vesk << QByteArray::fromHex(row.bytes);
    }
}

void TestRecordingWriter::settingsFields()
{
    QFETCH(RecorderFamily, family);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);

    TakeDescription take = smallTake(family);
    take.startTimecode = 107867;
    take.dropFrame = true;
    take.recordedRate = 5994;
    take.interlaced = true;
    take.progressiveSegmented = true;
    take.setAudio(2, 4, 4, 100, 200);
    take.width = 1920;
    take.height = 1080;
    take.avidCompressionId = 1242;
    take.videoCodec = 2;
    take.proResFlavour = 1;
    take.audioSamplesPerChunk = 512;
    take.reelName = "REEL-07";
    take.recordedEndMode = RecordedEndMode::Explicit;
    take.recordedEnd = 0x390000;

    const QString path = dir.filePath(QStringLiteral("settings.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));
    const qint64 block = family == RecorderFamily::Orla ? 36 : 20;
    QCOMPARE(hex(readAt(path, block + offset, expected.size())), hex(expected));
}

void TestRecordingWriter::frameMapAndItems_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::newRow("orla") << RecorderFamily::Orla;
    QTest::newRow("vesk") << RecorderFamily::Vesk;
}

void TestRecordingWriter::frameMapAndItems()
{
    QFETCH(RecorderFamily, family);
    const TakeDescription take = smallTake(family);
    const QString path = dir.filePath(QStringLiteral("items.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    // Timecode (newer family only), then chunks of three frames, each followed
    // by one audio chunk; the audio outlasts the video.
    const QList<quint16> videoGroupA = { 0x4002, 0x4001, 0x4002 };
    const QList<quint16> videoGroupB = { 0x4003, 0x4004, 0x4001 };
    // Two channels of 3 bytes: 100, 512, 512, 200 samples -> 600, 3072, 3072, 1200 bytes.
    QList<quint16> expectedMap;
    if (family == RecorderFamily::Orla)
        expectedMap << 0x8001;
    expectedMap << videoGroupA << 0x0002 << videoGroupB << 0x0006 << 0x4002 << 0x0006 << 0x0003;
    QCOMPARE(written.frameMap, expectedMap);

    const qint64 mapOffset = family == RecorderFamily::Orla ? 156 : 128;
    const QByteArray mapBytes = readAt(path, mapOffset, 2 * (expectedMap.size() + 1));
    for (int i = 0; i < expectedMap.size(); ++i)
        QCOMPARE(qFromLittleEndian<quint16>(mapBytes.constData() + 2 * i), expectedMap.at(i));
    QCOMPARE(qFromLittleEndian<quint16>(mapBytes.constData() + 2 * expectedMap.size()), quint16(0));

    // Items lie back to back from the media offset, each padded with zeros.
    qint64 offset = RecordingLayout::mediaOffset;
    QByteArray media;
    for (const PlacedItem& item : written.items) {
        QCOMPARE(item.offset, offset);
        QCOMPARE(item.paddedBytes, (item.entry & 0x3FFF) * qint64(512));
        const QByteArray bytes = readAt(path, item.offset, item.paddedBytes);
        QCOMPARE(bytes.size(), item.paddedBytes);
        const QByteArray padding = bytes.mid(item.payloadBytes);
        QCOMPARE(padding.count('\0'), padding.size());
        media += bytes;
        offset += item.paddedBytes;
    }
    QCOMPARE(written.mediaStart, RecordingLayout::mediaOffset);
    QCOMPARE(written.mediaEnd, offset);
    QCOMPARE(written.fileSize, offset);
    QCOMPARE(written.mediaSha256, FileHash::sha256(media));

    // Frames are the given bytes; audio chunks hold channel k at k x 3 x samples.
    const QList<qint64> frameOffsets = written.offsetsOf(ItemKind::VideoFrame);
    QCOMPARE(frameOffsets.size(), take.videoFrames.size());
    for (int i = 0; i < frameOffsets.size(); ++i)
        QCOMPARE(readAt(path, frameOffsets.at(i), take.videoFrames.at(i).size()), take.videoFrames.at(i));
    const QList<qint64> chunkOffsets = written.offsetsOf(ItemKind::AudioChunk);
    const QList<int> chunkSamples = { 100, 512, 512, 200 };
    QCOMPARE(chunkOffsets.size(), chunkSamples.size());
    qint64 first = 0;
    for (int chunk = 0; chunk < chunkOffsets.size(); ++chunk) {
        const int samples = chunkSamples.at(chunk);
        for (int channel = 0; channel < 2; ++channel) {
            const QByteArray stored = readAt(path, chunkOffsets.at(chunk) + qint64(channel) * 3 * samples, 3 * samples);
            QCOMPARE(stored, TestPcm::channel(channel, samples, 3, first));
        }
        first += samples;
    }
    QCOMPARE(written.expectedSamplesPerChannel, qint64(1324));
    QCOMPARE(written.expectedChannelPcm.size(), 2);
    QCOMPARE(written.expectedChannelPcm.at(0), TestPcm::channel(0, 1324, 3));
    QCOMPARE(written.expectedChannelPcm.at(1), TestPcm::channel(1, 1324, 3));
    QCOMPARE(written.expectedFrameMd5, take.videoFrameMd5);

    if (family == RecorderFamily::Orla)
        QCOMPARE(hex(readAt(path, RecordingLayout::mediaOffset, 512)),
                 hex(QByteArray::fromHex("00015f90") + QByteArray(508, '\0')));
    QCOMPARE(written.expectedTimecode, QStringLiteral("01:00:00:00"));
}

void TestRecordingWriter::recordedEndAndTrailingBytes_data()
{
    QTest::addColumn<RecordedEndMode>("mode");
    QTest::addColumn<qint64>("explicitEnd");
    QTest::addColumn<qint64>("trailing");
    QTest::addColumn<bool>("endIsMapEnd");

    QTest::newRow("zero") << RecordedEndMode::Zero << qint64(0) << qint64(0) << false;
    QTest::newRow("exact") << RecordedEndMode::MapEnd << qint64(0) << qint64(0) << true;
    QTest::newRow("exact inside a longer file") << RecordedEndMode::MapEnd << qint64(0) << qint64(100000) << true;
    QTest::newRow("zero with trailing bytes") << RecordedEndMode::Zero << qint64(0) << qint64(777) << false;
    QTest::newRow("explicit") << RecordedEndMode::Explicit << qint64(6000000) << qint64(600000) << false;
}

void TestRecordingWriter::recordedEndAndTrailingBytes()
{
    QFETCH(RecordedEndMode, mode);
    QFETCH(qint64, explicitEnd);
    QFETCH(qint64, trailing);
    QFETCH(bool, endIsMapEnd);

    TakeDescription take = smallTake(RecorderFamily::Orla);
    take.recordedEndMode = mode;
    take.recordedEnd = quint64(explicitEnd);
    take.trailingBytes = trailing;
    const QString path = dir.filePath(QStringLiteral("end.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    const quint64 expectedEnd = endIsMapEnd ? quint64(written.mapEnd) : quint64(explicitEnd);
    QCOMPARE(written.recordedEnd, expectedEnd);
    QCOMPARE(qFromLittleEndian<quint64>(readAt(path, 36 + 72, 8).constData()), expectedEnd);
    QCOMPARE(written.mediaEnd, written.mapEnd);
    QCOMPARE(written.fileSize, written.mapEnd + trailing);
    QCOMPARE(QFileInfo(path).size(), written.fileSize);

    const QByteArray tail = readAt(path, written.mediaEnd, trailing);
    QCOMPARE(tail.size(), trailing);
    QVERIFY(trailing == 0 || tail.count('\0') < trailing / 8);
    QCOMPARE(FileHash::sha256(path, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
}

void TestRecordingWriter::tornTail_data()
{
    QTest::addColumn<int>("tornItems");
    QTest::addColumn<qint64>("partialBytes");
    QTest::addColumn<int>("expectedFrames");
    QTest::addColumn<qint64>("expectedSamples");

    // Map tail: ... V(4th chunk group: 1 frame) A(512) A(200).
    QTest::newRow("last chunk never written") << 1 << qint64(0) << 7 << qint64(1124);
    QTest::newRow("last chunk half written") << 1 << qint64(700) << 7 << qint64(1124);
    QTest::newRow("three items lost, one in part") << 3 << qint64(100) << 6 << qint64(612);
}

void TestRecordingWriter::tornTail()
{
    QFETCH(int, tornItems);
    QFETCH(qint64, partialBytes);
    QFETCH(int, expectedFrames);
    QFETCH(qint64, expectedSamples);

    TakeDescription take = smallTake(RecorderFamily::Orla);
    take.tornItems = tornItems;
    take.tornPartialBytes = partialBytes;
    const QString path = dir.filePath(QStringLiteral("torn.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    // The map still lists every item; the file ends inside the torn tail.
    QCOMPARE(written.frameMap.size(), 12);
    const PlacedItem& firstTorn = written.items.at(written.items.size() - tornItems);
    QVERIFY(!firstTorn.complete());
    QCOMPARE(firstTorn.writtenBytes, partialBytes);
    QCOMPARE(written.mediaEnd, firstTorn.offset + partialBytes);
    QCOMPARE(written.fileSize, written.mediaEnd);
    QVERIFY(written.mapEnd > written.fileSize);
    QCOMPARE(written.recordedEnd, quint64(written.mapEnd));
    QCOMPARE(written.expectedFrameMd5, take.videoFrameMd5.mid(0, expectedFrames));
    QCOMPARE(written.expectedSamplesPerChannel, expectedSamples);
    QCOMPARE(written.expectedChannelPcm.at(1), TestPcm::channel(1, expectedSamples, 3));
}

void TestRecordingWriter::rawOverrides()
{
    TakeDescription take = smallTake(RecorderFamily::Vesk);
    take.settingsPokes = { { SettingsField::RecordedRate, 0 }, { SettingsField::Width, 0x12345 },
                           { SettingsField::VideoSamplesPerChunk, 9 } }; // no such field in this family
    take.frameMapPokes = { { 1, 0xC001 }, { 20, 0x4001 } };
    take.filePokes = { { 5472240, QByteArrayLiteral("\x00\x00\x00\x08") } };
    const QString path = dir.filePath(QStringLiteral("poked.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));

    QCOMPARE(hex(readAt(path, 20 + 16, 4)), hex(QByteArray(4, '\0')));
    QCOMPARE(hex(readAt(path, 20 + 40, 4)), QStringLiteral("45 23 38 04"));
    QCOMPARE(hex(readAt(path, 128 + 2, 2)), QStringLiteral("01 c0"));
    QCOMPARE(hex(readAt(path, 128 + 40, 2)), QStringLiteral("01 40"));
    QCOMPARE(hex(readAt(path, 5472240, 8)), QStringLiteral("00 00 00 08 6d 64 61 74"));
    // Layout and expectations stay those of the unpoked take.
    QCOMPARE(written.frameMap.at(1), quint16(0x4001));
    QCOMPARE(written.items.at(1).offset, RecordingLayout::mediaOffset + 1024);
}

void TestRecordingWriter::explicitItemOrder()
{
    TakeDescription take = smallTake(RecorderFamily::Orla);
    take.videoFrames = fakeFrames({ 600, 600 });
    take.videoFrameMd5 = fakeMd5(2);
    take.setAudio(1, 2, 2, 0, 0);
    take.itemOrder = { ItemKind::AudioChunk, ItemKind::VideoFrame, ItemKind::Unknown, ItemKind::TimecodeSample,
                       ItemKind::VideoFrame, ItemKind::AudioChunk, ItemKind::TimecodeSample };
    const QString path = dir.filePath(QStringLiteral("order.vlv"));
    const WrittenTake written = RecordingWriter::write(take, path);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(written.frameMap, (QList<quint16>{ 0x0002, 0x4002, 0xC001, 0x8001, 0x4002, 0x0002, 0x8001 }));
    QCOMPARE(readAt(path, written.items.at(2).offset, 512), QByteArray(512, char(0xEE)));
    QCOMPARE(written.offsetsOf(ItemKind::TimecodeSample),
             (QList<qint64>{ RecordingLayout::mediaOffset + 2560, RecordingLayout::mediaOffset + 5120 }));
}

void TestRecordingWriter::mismatchedItemOrderIsRefused()
{
    TakeDescription take = smallTake(RecorderFamily::Orla);
    take.itemOrder = { ItemKind::VideoFrame, ItemKind::AudioChunk };
    const WrittenTake written = RecordingWriter::write(take, dir.filePath(QStringLiteral("refused.vlv")));
    QVERIFY(!written.ok);
    QVERIFY(written.error.contains(QLatin1String("item order")));
}

void TestRecordingWriter::timecodeText_data()
{
    QTest::addColumn<quint32>("frame");
    QTest::addColumn<quint32>("timeScale");
    QTest::addColumn<quint32>("duration");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0u << 2500u << 100u << false << "00:00:00:00";
    QTest::newRow("24 one hour") << 86400u << 2400u << 100u << false << "01:00:00:00";
    QTest::newRow("23.976 counts 24") << 86399u << 23976u << 1000u << false << "00:59:59:23";
    QTest::newRow("25 last of the day") << 2159999u << 2500u << 100u << false << "23:59:59:24";
    QTest::newRow("29.97 non-drop") << 107892u << 2997u << 100u << false << "00:59:56:12";
    QTest::newRow("29.97 drop one hour") << 107892u << 2997u << 100u << true << "01:00:00;00";
    QTest::newRow("29.97 drop minute 1") << 1800u << 2997u << 100u << true << "00:01:00;02";
    QTest::newRow("29.97 drop minute 10") << 17982u << 2997u << 100u << true << "00:10:00;00";
    QTest::newRow("59.94 drop one hour") << 215784u << 5994u << 100u << true << "01:00:00;00";
}

void TestRecordingWriter::timecodeText()
{
    QFETCH(quint32, frame);
    QFETCH(quint32, timeScale);
    QFETCH(quint32, duration);
    QFETCH(bool, drop);
    QFETCH(QString, text);

    QCOMPARE(TimecodeText::fromFrameNumber(frame, timeScale, duration, drop), text);
    QCOMPARE(TimecodeText::toFrameNumber(text, TimecodeText::framesPerSecond(timeScale, duration)), qint64(frame));
}

void TestRecordingWriter::movieTiming_data()
{
    QTest::addColumn<QString>("frameRate");
    QTest::addColumn<bool>("interlaced");
    QTest::addColumn<quint32>("recordedRate");
    QTest::addColumn<quint32>("timeScale");
    QTest::addColumn<quint32>("duration");

    QTest::newRow("23.976p") << "24000/1001" << false << 2398u << 23976u << 1000u;
    QTest::newRow("24p") << "24" << false << 2400u << 2400u << 100u;
    QTest::newRow("25p") << "25" << false << 2500u << 2500u << 100u;
    QTest::newRow("25i") << "25" << true << 5000u << 2500u << 100u;
    QTest::newRow("29.97i") << "30000/1001" << true << 5994u << 2997u << 100u;
    QTest::newRow("59.94p") << "60000/1001" << false << 5994u << 5994u << 100u;
}

void TestRecordingWriter::movieTiming()
{
    QFETCH(QString, frameRate);
    QFETCH(bool, interlaced);
    QFETCH(quint32, recordedRate);
    QFETCH(quint32, timeScale);
    QFETCH(quint32, duration);

    TakeDescription take;
    take.recordedRate = TakeDescription::recordedRateFor(frameRate, interlaced);
    take.interlaced = interlaced;
    QCOMPARE(take.recordedRate, recordedRate);
    QCOMPARE(take.movieTimeScale(), timeScale);
    QCOMPARE(take.movieFrameDuration(), duration);
}

void TestRecordingWriter::codecNumbers_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::addColumn<ProResProfile>("profile");
    QTest::addColumn<quint32>("codec");
    QTest::addColumn<quint32>("flavour");

    QTest::newRow("orla 4444 xq") << RecorderFamily::Orla << ProResProfile::P4444Xq << 2u << 0u;
    QTest::newRow("orla 4444") << RecorderFamily::Orla << ProResProfile::P4444 << 2u << 1u;
    QTest::newRow("orla hq") << RecorderFamily::Orla << ProResProfile::Hq << 1u << 1u;
    QTest::newRow("orla standard") << RecorderFamily::Orla << ProResProfile::Standard << 1u << 2u;
    QTest::newRow("orla lt") << RecorderFamily::Orla << ProResProfile::Lt << 1u << 3u;
    QTest::newRow("orla proxy") << RecorderFamily::Orla << ProResProfile::Proxy << 1u << 4u;
    QTest::newRow("vesk 4444") << RecorderFamily::Vesk << ProResProfile::P4444 << 2u << 0u;
    QTest::newRow("vesk hq") << RecorderFamily::Vesk << ProResProfile::Hq << 1u << 0u;
    QTest::newRow("vesk standard") << RecorderFamily::Vesk << ProResProfile::Standard << 1u << 1u;
    QTest::newRow("vesk lt") << RecorderFamily::Vesk << ProResProfile::Lt << 1u << 2u;
    QTest::newRow("vesk proxy") << RecorderFamily::Vesk << ProResProfile::Proxy << 1u << 3u;
}

void TestRecordingWriter::codecNumbers()
{
    QFETCH(RecorderFamily, family);
    QFETCH(ProResProfile, profile);
    QFETCH(quint32, codec);
    QFETCH(quint32, flavour);

    quint32 gotCodec = 99;
    quint32 gotFlavour = 99;
    TakeDescription::codecNumbers(family, VideoFormat::proRes(profile, 1280, 720, QStringLiteral("25"), 1),
                                  &gotCodec, &gotFlavour);
    QCOMPARE(gotCodec, codec);
    QCOMPARE(gotFlavour, flavour);
    TakeDescription::codecNumbers(family, VideoFormat::dnxhd(1920, 1080, true, 120, QStringLiteral("25"), 1),
                                  &gotCodec, nullptr);
    QCOMPARE(gotCodec, 0u);
}

QTEST_GUILESS_MAIN(TestRecordingWriter)
#include "tst_recordingwriter.moc"
