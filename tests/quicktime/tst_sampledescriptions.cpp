// Byte-exact sample descriptions: ProRes, DNxHD, sound and timecode, and the
// sample description atom that holds them.

#include "quicktimeavidvideosampledescription.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetestsupport.h"
#include "quicktimetimecodesampledescription.h"

#include <QDataStream>
#include <QTest>

#include <cstring>

namespace {

QByteArray written(QuickTimeSampleDescription& description)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    description.write(stream);
    return bytes;
}

Bytes commonFields(quint32 size, const char* format)
{
    return Bytes().u32(size).text(format).zeros(6).u16(1);
}

Bytes compressorName(const QByteArray& name)
{
    return Bytes().u8(quint32(name.size())).raw(name).zeros(31 - int(name.size()));
}

quint64 doubleBits(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

class TestSampleDescriptions : public QObject
{
    Q_OBJECT

private slots:
    void proResFormatAndName_data();
    void proResFormatAndName();
    void proResPicture_data();
    void proResPicture();
    void avidResolution_data();
    void avidResolution();
    void avidWithoutFile();
    void soundVersion1_data();
    void soundVersion1();
    void soundAboveVersion1Rates_data();
    void soundAboveVersion1Rates();
    void timecode_data();
    void timecode();
    void descriptionAtomHoldsEntriesAndSourceName();
};

void TestSampleDescriptions::proResFormatAndName_data()
{
    QTest::addColumn<quint32>("codec");
    QTest::addColumn<quint32>("flavour");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QByteArray>("name");

#if QTLIB_VARIANT_TOLVAN
    QTest::newRow("4444 XQ") << 2u << 0u << QByteArray("ap4x") << QByteArray("Apple ProRes 4444 XQ");
    QTest::newRow("4444") << 2u << 1u << QByteArray("ap4h") << QByteArray("Apple ProRes 4444");
    QTest::newRow("422 flavour 0") << 1u << 0u << QByteArray("apch") << QByteArray("Apple ProRes 422");
    QTest::newRow("422 HQ") << 1u << 1u << QByteArray("apch") << QByteArray("Apple ProRes 422 HQ");
    QTest::newRow("422") << 1u << 2u << QByteArray("apcn") << QByteArray("Apple ProRes 422");
    QTest::newRow("422 LT") << 1u << 3u << QByteArray("apcs") << QByteArray("Apple ProRes 422 LT");
    QTest::newRow("422 Proxy") << 1u << 4u << QByteArray("apco") << QByteArray("Apple ProRes 422 Proxy");
    QTest::newRow("422 unknown flavour") << 1u << 9u << QByteArray("apch") << QByteArray("Apple ProRes 422");
#else
    QTest::newRow("4444 flavour 0") << 2u << 0u << QByteArray("ap4h") << QByteArray("Apple ProRes 4444");
    QTest::newRow("4444") << 2u << 1u << QByteArray("ap4h") << QByteArray("Apple ProRes 4444");
    QTest::newRow("422 HQ") << 1u << 0u << QByteArray("apch") << QByteArray("Apple ProRes 422 (HQ)");
    QTest::newRow("422") << 1u << 1u << QByteArray("apcn") << QByteArray("Apple ProRes 422");
    QTest::newRow("422 LT") << 1u << 2u << QByteArray("apcs") << QByteArray("Apple ProRes 422 (LT)");
    QTest::newRow("422 Proxy") << 1u << 3u << QByteArray("apco") << QByteArray("Apple ProRes 422 (Proxy)");
    QTest::newRow("422 flavour 4") << 1u << 4u << QByteArray("apch") << QByteArray("Apple ProRes 422");
    QTest::newRow("422 unknown flavour") << 1u << 9u << QByteArray("apch") << QByteArray("Apple ProRes 422");
#endif
}

void TestSampleDescriptions::proResFormatAndName()
{
    QFETCH(quint32, codec);
    QFETCH(quint32, flavour);
    QFETCH(QByteArray, format);
    QFETCH(QByteArray, name);

    TestMovie movie;
    movie->videoCodec = codec;
    movie->proResFlavour = flavour;
    movie->width = 1920;
    movie->height = 1080;
    QuickTimeProResVideoSampleDescription description(movie.get());
    const QByteArray bytes = written(description);
    QCOMPARE(bytes.mid(4, 4), format);
    QCOMPARE(bytes.mid(50, 32), compressorName(name).bytes());
}

void TestSampleDescriptions::proResPicture_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<quint32>("interlaced");
    QTest::addColumn<quint32>("progressiveSegmented");
    QTest::addColumn<QList<quint32>>("colour");
    QTest::addColumn<QList<quint32>>("fields");
    QTest::addColumn<QList<quint32>>("aspect");
    QTest::addColumn<QList<quint32>>("aperture");

    using L = QList<quint32>;
    QTest::newRow("1080 interlaced") << 1920 << 1080 << 1u << 0u << L { 1, 1, 1 } << L { 2, 9 } << L { 1, 1 } << L { 1888, 1, 1062, 1, 0, 1, 0, 1 };
    QTest::newRow("1080 segmented") << 1920 << 1080 << 1u << 1u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L { 1888, 1, 1062, 1, 0, 1, 0, 1 };
    QTest::newRow("1440 progressive") << 1440 << 1080 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L { 1416, 1, 1062, 1, 0, 1, 0, 1 };
    QTest::newRow("1280x1080") << 1280 << 1080 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L { 3776, 3, 1062, 1, 0, 1, 0, 1 };
    QTest::newRow("720 lines") << 1280 << 720 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L { 1248, 1, 702, 1, 0, 1, 0, 1 };
    QTest::newRow("NTSC 486") << 720 << 486 << 1u << 0u << L { 6, 1, 6 } << L { 2, 9 } << L { 10, 11 } << L { 704, 1, 480, 1, 0, 1, 0, 1 };
    QTest::newRow("NTSC 480") << 720 << 480 << 0u << 0u << L { 6, 1, 6 } << L { 1, 0 } << L { 10, 11 } << L { 704, 1, 480, 1, 0, 1, 0, 1 };
    QTest::newRow("PAL") << 720 << 576 << 1u << 0u << L { 5, 1, 6 } << L { 2, 9 } << L { 59, 54 } << L { 41472, 59, 576, 1, 0, 1, 0, 1 };
#if QTLIB_VARIANT_TOLVAN
    // This variant writes no clean aperture.
    QTest::newRow("UHD") << 3840 << 2160 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L {};
    QTest::newRow("DCI 4K") << 4096 << 2160 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L {};
#else
    // Not in this variant's table: square pixels, the whole picture clean.
    QTest::newRow("UHD") << 3840 << 2160 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 } << L { 3840, 1, 2160, 1, 0, 1, 0, 1 };
#endif
    QTest::newRow("unknown size") << 1000 << 500 << 0u << 0u << L { 1, 1, 1 } << L { 1, 0 } << L { 1, 1 }
                                  << (QTLIB_VARIANT_TOLVAN ? L {} : L { 1000, 1, 500, 1, 0, 1, 0, 1 });
}

void TestSampleDescriptions::proResPicture()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(quint32, interlaced);
    QFETCH(quint32, progressiveSegmented);
    QFETCH(QList<quint32>, colour);
    QFETCH(QList<quint32>, fields);
    QFETCH(QList<quint32>, aspect);
    QFETCH(QList<quint32>, aperture);

    TestMovie movie;
    movie->videoCodec = 1;
    movie->proResFlavour = QTLIB_VARIANT_TOLVAN ? 1 : 0;
    movie->width = quint16(width);
    movie->height = quint16(height);
    movie->interlaced = interlaced;
    movie->vendorValues[8] = progressiveSegmented;
    QuickTimeProResVideoSampleDescription description(movie.get());

    const quint32 size = QTLIB_VARIANT_TOLVAN ? 134 : 174;
    QCOMPARE(description.size, size);
    Bytes expected = commonFields(size, "apch");
    expected.u16(0).u16(0).text("appl").u32(0).u32(1023).u16(quint32(width)).u16(quint32(height))
        .u32(0x480000).u32(0x480000).u32(0).u16(1)
        .raw(compressorName(QTLIB_VARIANT_TOLVAN ? "Apple ProRes 422 HQ" : "Apple ProRes 422 (HQ)"))
        .u16(24).u16(0xFFFF);
    expected.u32(18).text("colr").text("nclc").u16(colour[0]).u16(colour[1]).u16(colour[2]);
    expected.u32(10).text("fiel").u8(fields[0]).u8(fields[1]);
    expected.u32(16).text("pasp").u32(aspect[0]).u32(aspect[1]);
    if (!QTLIB_VARIANT_TOLVAN) {
        expected.u32(40).text("clap");
        for (quint32 value : aperture)
            expected.u32(value);
    }
    expected.u32(0);
    COMPARE_BYTES(written(description), expected.bytes());
}

void TestSampleDescriptions::avidResolution_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<quint32>("interlaced");
    QTest::addColumn<QList<quint32>>("resolution");

    using L = QList<quint32>;
    QTest::newRow("1080 interlaced") << 1920 << 1080 << 1u << L { 1241, 1920, 540, 2, 0, 4 };
    QTest::newRow("1080 progressive") << 1920 << 1080 << 0u << L { 1241, 1920, 1080, 1, 0, 5 };
    QTest::newRow("720 progressive") << 1280 << 720 << 0u << L { 1241, 1280, 720, 1, 0, 6 };
}

void TestSampleDescriptions::avidResolution()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(quint32, interlaced);
    QFETCH(QList<quint32>, resolution);

    TestMovie movie;
    movie->width = quint16(width);
    movie->height = quint16(height);
    movie->interlaced = interlaced;
    movie->avidCompressionId = 1241;
    QuickTimeAvidVideoSampleDescription description(movie.get());
    QCOMPARE(description.size, 258u);

    Bytes expected = commonFields(258, "AVdn");
    expected.u16(0).u16(0).text("vrln").u32(512).u32(512).u16(quint32(width)).u16(quint32(height))
        .u32(0x480000).u32(0x480000).u32(0).u16(1).raw(compressorName("DNxHD Codec")).u16(24).u16(0xFFFF);
    expected.u32(24).text("ACLR").text("ACLR").text("0001").u32(1).u32(0);
    expected.u32(24).text("APRG").text("APRG").text("0001").u32(1).u32(0);
    expected.u32(120).text("ARES").text("ARES").text("0001");
    for (quint32 value : resolution)
        expected.u32(value);
    expected.zeros(80).u32(0);
    COMPARE_BYTES(written(description), expected.bytes());
}

void TestSampleDescriptions::avidWithoutFile()
{
    QuickTimeAvidVideoSampleDescription description(nullptr);
    const QByteArray bytes = written(description);
    QCOMPARE(bytes.size(), 258);
    QCOMPARE(bytes.mid(32, 4), Bytes().u16(1920).u16(1080).bytes());
    QCOMPARE(bytes.mid(86 + 48 + 16, 24), Bytes().u32(1238).u32(1920).u32(1080).u32(1).u32(0).u32(5).bytes());
}

void TestSampleDescriptions::soundVersion1_data()
{
    QTest::addColumn<quint32>("bytesPerSample");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<quint8>("littleEndian");
    QTest::addColumn<quint32>("rate");

    QTest::newRow("16 bit") << 2u << QByteArray("twos") << quint8(1) << 48000u;
    QTest::newRow("24 bit") << 3u << QByteArray("in24") << quint8(1) << 48000u;
    QTest::newRow("32 bit") << 4u << QByteArray("in32") << quint8(1) << 44100u;
    QTest::newRow("24 bit big-endian") << 3u << QByteArray("in24") << quint8(0) << 48000u;
    QTest::newRow("highest 16.16 rate") << 3u << QByteArray("in24") << quint8(1) << 65535u;
}

void TestSampleDescriptions::soundVersion1()
{
    QFETCH(quint32, bytesPerSample);
    QFETCH(QByteArray, format);
    QFETCH(quint8, littleEndian);
    QFETCH(quint32, rate);

    TestMovie movie;
    movie->audioBytesPerSample = bytesPerSample;
    movie->audioLittleEndian = littleEndian;
    QuickTimeSoundSampleDescription description(movie.get(), 0, rate);
    QCOMPARE(description.size, 82u);
    const QByteArray expected = commonFields(82, format.constData())
        .u16(1).u16(0).u32(0).u16(1).u16(16).u16(0).u16(0).u32(rate << 16)
        .u32(1).u32(bytesPerSample).u32(bytesPerSample).u32(2)
        .u32(30).text("wave").u32(12).text("frma").raw(format).u32(10).text("enda").u16(littleEndian);
    COMPARE_BYTES(written(description), expected);
}

void TestSampleDescriptions::soundAboveVersion1Rates_data()
{
    QTest::addColumn<quint32>("bytesPerSample");
    QTest::addColumn<quint8>("littleEndian");
    QTest::addColumn<quint32>("rate");
    QTest::addColumn<quint32>("flags");

    QTest::newRow("96 kHz 24 bit") << 3u << quint8(1) << 96000u << 0x0Cu;
    QTest::newRow("192 kHz 32 bit") << 4u << quint8(1) << 192000u << 0x0Cu;
    QTest::newRow("88.2 kHz 16 bit big-endian") << 2u << quint8(0) << 88200u << 0x0Eu;
    QTest::newRow("65536 Hz") << 3u << quint8(1) << 65536u << 0x0Cu;
}

void TestSampleDescriptions::soundAboveVersion1Rates()
{
    QFETCH(quint32, bytesPerSample);
    QFETCH(quint8, littleEndian);
    QFETCH(quint32, rate);
    QFETCH(quint32, flags);

    TestMovie movie;
    movie->audioBytesPerSample = bytesPerSample;
    movie->audioLittleEndian = littleEndian;
    QuickTimeSoundSampleDescription description(movie.get(), 0, rate);
    QCOMPARE(description.size, 72u);
    const QByteArray expected = commonFields(72, "lpcm")
        .u16(2).u16(0).u32(0).u16(3).u16(16).u16(0xFFFE).u16(0).u32(0x10000)
        .u32(72).u64(doubleBits(rate)).u32(1).u32(0x7F000000).u32(bytesPerSample * 8).u32(flags)
        .u32(bytesPerSample).u32(1);
    COMPARE_BYTES(written(description), expected);
    QCOMPARE(description.sampleRateHz(), double(rate));
}

void TestSampleDescriptions::timecode_data()
{
    QTest::addColumn<quint32>("timeScale");
    QTest::addColumn<quint32>("frameDuration");
    QTest::addColumn<quint8>("dropFrame");
    QTest::addColumn<quint8>("counter");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<quint32>("frames");

    QTest::newRow("29.97 drop frame") << 2997u << 100u << quint8(1) << quint8(0) << 1u << 30u;
    QTest::newRow("23.976 counter") << 23976u << 1000u << quint8(0) << quint8(1) << 8u << 24u;
    QTest::newRow("25") << 2500u << 100u << quint8(0) << quint8(0) << 0u << 25u;
    QTest::newRow("both flags") << 5994u << 100u << quint8(2) << quint8(3) << 9u << 60u;
    QTest::newRow("no frame duration") << 2500u << 0u << quint8(0) << quint8(0) << 0u << 0u;
}

void TestSampleDescriptions::timecode()
{
    QFETCH(quint32, timeScale);
    QFETCH(quint32, frameDuration);
    QFETCH(quint8, dropFrame);
    QFETCH(quint8, counter);
    QFETCH(quint32, flags);
    QFETCH(quint32, frames);

    TestMovie movie;
    movie->videoTimeScale = timeScale;
    movie->videoSampleDuration = frameDuration;
    movie->dropFrame = dropFrame;
    movie->timecodeCounter = counter;
    QuickTimeTimecodeSampleDescription description(movie.get());
    COMPARE_BYTES(written(description), commonFields(34, "tmcd").u32(0).u32(flags).u32(timeScale).u32(frameDuration).u8(frames).u8(0).bytes());
}

void TestSampleDescriptions::descriptionAtomHoldsEntriesAndSourceName()
{
    TestMovie movie;
    movie->videoTimeScale = 2500;
    movie->videoSampleDuration = 100;
    QuickTimeSampleTableAtom table;
    auto* atom = new QuickTimeSampleDescriptionAtom(movie.get());
    auto* description = new QuickTimeTimecodeSampleDescription(movie.get());
    atom->addDescription(description);
    auto* name = atom->addChild(new QuickTimeSourceReferenceAtom("A001C003"));
    description->size += name->size;
    table.addChild(atom);

    QCOMPARE(atom->entryCount, 1u);
    QCOMPARE(atom->size, 16u + 34 + 44);
    QCOMPARE(table.size, 8u + 94);
    const QByteArray expected = Bytes().u32(102).text("stbl").u32(94).text("stsd").u32(0).u32(1)
        .raw(commonFields(78, "tmcd").u32(0).u32(0).u32(2500).u32(100).u8(25).u8(0))
        .u32(44).text("name").u16(8).u16(0).text("A001C003").zeros(24);
    COMPARE_BYTES(written(table), expected);

    QuickTimeSampleDescriptionAtom empty(movie.get());
    COMPARE_BYTES(written(empty), Bytes().u32(16).text("stsd").u32(0).u32(0).bytes());
}

QTEST_MAIN(TestSampleDescriptions)
#include "tst_sampledescriptions.moc"
