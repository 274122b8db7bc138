// Byte-exact writes of the header, reference and extension atoms, the atom
// model's sizes and offsets, and the movie file object's settings.

#include "quicktimeatom64.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefileatom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeskipatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetestsupport.h"
#include "quicktimetimecodeheaderatom.h"
#include "quicktimetimecodeinformationatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimeunrecognizedatom.h"
#include "quicktimeuserdataatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimeversionflagsatom.h"
#include "quicktimevideoinformationatom.h"
#include "quicktimewideatom.h"
#if QTLIB_VARIANT_TOLVAN
#include "quicktimeeditatom.h"
#include "quicktimeeditlistatom.h"
#endif

#include <QTest>
#include <QtEndian>

namespace {

// The matrix of every movie and track header, as written.
Bytes identityMatrix()
{
    return Bytes().u32(0x10000).u32(0).u32(0).u32(0).u32(0x10000).u32(0).u32(0).u32(0).u32(0x40000000);
}

} // namespace

class TestAtomBytes : public QObject
{
    Q_OBJECT

private slots:
    void fileTypeAtom();
    void plainAtoms();
    void rootWritesOnlyItsChildren();
    void addChildKeepsSizesAndOffsets();
    void versionFlagsAtomSize();
    void movieHeader();
    void trackHeader();
    void mediaHeader();
    void handlerReference_data();
    void handlerReference();
    void mediaInformationHeaders();
    void baseMediaInformationWritesFieldsBeforeTimecodeHeader();
    void dataReference();
    void sourceName_data();
    void sourceName();
    void vendorAtom();
    void vendorAtomKeepsKind3EntriesInPlace();
    void editList();
    void alignmentSkip_data();
    void alignmentSkip();
    void layoutConstants();
    void setters();
    void frameMapEntry();
    void openMovieDataAtom_data();
    void openMovieDataAtom();
    void recoverySettings();
};

void TestAtomBytes::fileTypeAtom()
{
    QuickTimeFileAtom atom;
    QCOMPARE(atom.size, 20u);
    COMPARE_BYTES(written(atom), Bytes().u32(20).text("ftyp").text("qt  ").u32(0x20070400).text("qt  ").bytes());
    QString name;
    QString value;
    QCOMPARE(atom.fieldName(0, name), 0);
    QCOMPARE(name, QStringLiteral("Major Brand"));
    QCOMPARE(atom.fieldName(2, name), 0);
    QCOMPARE(name, QStringLiteral("Compatible Brand"));
    QCOMPARE(atom.fieldValue(1, value), 0);
    QCOMPARE(value, QStringLiteral("0x20070400"));
    QCOMPARE(atom.fieldName(3, name), -1);
}

void TestAtomBytes::plainAtoms()
{
    QuickTimeWideAtom wide;
    COMPARE_BYTES(written(wide), Bytes().u32(8).text("wide").bytes());

    QuickTimeSkipAtom skip;
    skip.growSize(3);
    COMPARE_BYTES(written(skip), Bytes().u32(11).text("skip").zeros(3).bytes());

    QuickTimeUnrecognizedAtom unknown(fourCC("abcd"), 100);
    QCOMPARE(unknown.size, 100u);
    COMPARE_BYTES(written(unknown), QByteArray());

    QuickTimeMovieDataAtom mdat(1000);
    QCOMPARE(mdat.size, 8u);
    QCOMPARE(mdat.size64, quint64(1016));
    COMPARE_BYTES(written(mdat), Bytes().u32(1).text("mdat").u64(1016).bytes());

    QuickTimeUserDataAtom udta;
    COMPARE_BYTES(written(udta), Bytes().u32(8).text("udta").bytes());
}

void TestAtomBytes::rootWritesOnlyItsChildren()
{
    QuickTimeAtom root;
    root.size = 0;
    root.addChild(new QuickTimeFileAtom);
    root.addChild(new QuickTimeWideAtom);
    QCOMPARE(root.size, 28u);
    COMPARE_BYTES(written(root), Bytes().u32(20).text("ftyp").text("qt  ").u32(0x20070400).text("qt  ").u32(8).text("wide").bytes());
}

void TestAtomBytes::addChildKeepsSizesAndOffsets()
{
    QuickTimeMovieAtom movie;
    movie.offset = 5000;
    movie.size = 116;
    auto* track = movie.addChild(new QuickTimeTrackAtom);
    QCOMPARE(track->offset, qint64(5116));
    // The movie grew by the empty track; put it back where the example starts.
    movie.size = 116;
    auto* header = track->addChild(new QuickTimeTrackHeaderAtom(nullptr, 1, 0, 0, 0, 256));
    QCOMPARE(header->size, 92u);
    QCOMPARE(track->size, 100u);
    QCOMPARE(movie.size, 208u);
    QCOMPARE(header->offset, track->offset + 8);
    QCOMPARE(header->parent, track);

    header->growSize(10);
    QCOMPARE(track->size, 110u);
    QCOMPARE(movie.size, 218u);

    QuickTimeTrackAtom unplaced;
    QCOMPARE(unplaced.addChild(new QuickTimeWideAtom)->offset, qint64(-1));
}

void TestAtomBytes::versionFlagsAtomSize()
{
    QuickTimeVersionFlagsAtom atom(fourCC("test"), 20, 3, 2, 0xABCDEF12);
    QCOMPARE(atom.size, 32u);
    QCOMPARE(atom.fieldCount, 5u);
    COMPARE_BYTES(written(atom).left(12), Bytes().u32(32).text("test").u8(2).u8(0xCD).u8(0xEF).u8(0x12).bytes());
    QString name;
    atom.fieldName(0, name);
    QCOMPARE(name, QStringLiteral("Version"));
    atom.fieldName(1, name);
    QCOMPARE(name, QStringLiteral("Flags"));
}

void TestAtomBytes::movieHeader()
{
    TestMovie movie;
    movie->videoTimeScale = 2500;
    movie->videoSampleDuration = 100;
    movie->videoFrameCount = 250;
    QuickTimeMovieHeaderAtom atom(movie.get());
    const QByteArray expected = Bytes().u32(108).text("mvhd").u32(0)
        .u32(2082844800).u32(2082844800).u32(2500).u32(25000).u32(0x10000).u16(0x100).zeros(10)
        .raw(identityMatrix()).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(2);
    COMPARE_BYTES(written(atom), expected);
}

void TestAtomBytes::trackHeader()
{
    QuickTimeTrackHeaderAtom atom(nullptr, 2, 25000, 1920, 1080, 256);
    const QByteArray expected = Bytes().u32(92).text("tkhd").u32(0x0F)
        .u32(2082844800).u32(2082844800).u32(2).u32(0).u32(25000).zeros(8).u16(0).u16(0).u16(256).u16(0)
        .raw(identityMatrix()).u32(1920u << 16).u32(1080u << 16);
    COMPARE_BYTES(written(atom), expected);
}

void TestAtomBytes::mediaHeader()
{
    QuickTimeMediaHeaderAtom atom(nullptr, 48000, 4396);
    COMPARE_BYTES(written(atom), Bytes().u32(32).text("mdhd").u32(0).u32(2082844800).u32(2082844800).u32(48000).u32(4396).u16(0).u16(0).bytes());
}

void TestAtomBytes::handlerReference_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("subtype");
    QTest::addColumn<QByteArray>("name");

    QTest::newRow("video") << QByteArray("mhlr") << QByteArray("vide") << QByteArray("VideoHandler");
    QTest::newRow("sound") << QByteArray("mhlr") << QByteArray("soun") << QByteArray("SoundHandler");
    QTest::newRow("timecode") << QByteArray("mhlr") << QByteArray("tmcd") << QByteArray("TimecodeHandler");
    QTest::newRow("other media") << QByteArray("mhlr") << QByteArray("text") << QByteArray();
    QTest::newRow("data") << QByteArray("dhlr") << QByteArray("alis") << QByteArray("DataHandler");
}

void TestAtomBytes::handlerReference()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, subtype);
    QFETCH(QByteArray, name);

    const auto code = [](const QByteArray& text) { return qFromBigEndian<quint32>(text.constData()); };
    QuickTimeHandlerReferenceAtom atom(code(type), code(subtype));
    const quint32 size = 32 + quint32(name.size()) + 1;
    QCOMPARE(atom.size, size);
    COMPARE_BYTES(written(atom), Bytes().u32(size).text("hdlr").u32(0).raw(type).raw(subtype).u32(0).u32(0).u32(0).u8(quint32(name.size())).raw(name).bytes());
}

void TestAtomBytes::mediaInformationHeaders()
{
    QuickTimeVideoInformationAtom video;
    COMPARE_BYTES(written(video), Bytes().u32(20).text("vmhd").u32(1).u16(0).u16(0).u16(0).u16(0).bytes());
    QuickTimeSoundInformationAtom sound;
    COMPARE_BYTES(written(sound), Bytes().u32(16).text("smhd").u32(1).u16(0).u16(0).bytes());
}

void TestAtomBytes::baseMediaInformationWritesFieldsBeforeTimecodeHeader()
{
    QuickTimeAtom header(fourCC("gmhd"));
    auto* base = header.addChild(new QuickTimeBaseMediaInformationAtom);
    auto* timecode = base->addChild(new QuickTimeTimecodeHeaderAtom);
    timecode->addChild(new QuickTimeTimecodeInformationAtom);
    QCOMPARE(base->size, 24u + 8 + 64);
    QCOMPARE(header.size, 8u + 96);

    const QByteArray timecodeInformation = Bytes().u32(64).text("tcmi").u32(1).u16(0).u16(0).u16(12).u16(0)
        .u16(0xFFFF).u16(0xFFFF).u16(0xFFFF).u16(0).u16(0).u16(0).u8(6).text("System").zeros(25);
    const QByteArray expected = Bytes().u32(104).text("gmhd").u32(96).text("gmin").u32(0)
        .u16(0x40).u16(0x8000).u16(0x8000).u16(0x8000).u16(0).u16(0)
        .u32(72).text("tmcd").raw(timecodeInformation);
    COMPARE_BYTES(written(header), expected);
}

void TestAtomBytes::dataReference()
{
    QuickTimeDataReferenceAtom atom;
    COMPARE_BYTES(written(atom), Bytes().u32(28).text("dref").u32(0).u32(1).u32(12).text("alis").u32(1).bytes());
}

void TestAtomBytes::sourceName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("short") << QByteArray("A001") << QByteArray("A001");
    QTest::newRow("40 characters") << QByteArray("0123456789012345678901234567890123456789") << QByteArray("0123456789012345678901234567890");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestAtomBytes::sourceName()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, stored);

    QuickTimeSourceReferenceAtom atom(name.constData());
    QCOMPARE(atom.size, 44u);
    COMPARE_BYTES(written(atom), Bytes().u32(44).text("name").u16(quint32(stored.size())).u16(0).raw(stored).zeros(32 - int(stored.size())).bytes());
}

void TestAtomBytes::vendorAtom()
{
    TestMovie movie;
    QList<quint16> entries;
    for (int i = 0; i < 1000; ++i)
        entries.append(i % 10 == 0 ? entry(0, 12) : i == 999 ? entry(2, 1) : entry(1, 100 + i));
    movie.setFrameMap(entries);
    movie->interlaced = 1;
    movie->setSummary(11, 12, 2997, 1, 15, 2, 24, 48000, 0);

    QuickTimeVelloranAtom atom(movie.get());
    QCOMPARE(atom.size, 2148u);
    Bytes expected;
    expected.u32(2148).text("vrln").u32(0).u32(1).u32(1).u32(1000).u32(movie->videoFrameCount).u32(100).u32(1);
    for (quint32 value : { 11, 12, 2997, 1, 15, 2, 24, 48000, 0 })
        expected.u32(value);
    expected.u32(1).zeros(72);
    for (quint16 value : entries)
        expected.u16(value);
    COMPARE_BYTES(written(atom), expected.bytes());
    QCOMPARE(movie->videoFrameCount, 899u);
}

void TestAtomBytes::vendorAtomKeepsKind3EntriesInPlace()
{
    // Kind 3 entries count for no track but keep their places in the copy,
    // which ends at the last counted entry, as every table walk does.
    TestMovie movie;
    movie.setFrameMap({ entry(1, 4), entry(3, 2), entry(0, 12), entry(3, 1) });
    QuickTimeVelloranAtom atom(movie.get());
    QCOMPARE(atom.entryCount, 3u);
    QCOMPARE(atom.size, 154u);
    const QByteArray bytes = written(atom);
    QCOMPARE(bytes.size(), 154);
    COMPARE_BYTES(bytes.mid(20, 4), Bytes().u32(3).bytes());
    COMPARE_BYTES(bytes.right(6), Bytes().u16(entry(1, 4)).u16(entry(3, 2)).u16(entry(0, 12)).bytes());
}

void TestAtomBytes::editList()
{
#if QTLIB_VARIANT_TOLVAN
    TestMovie movie;
    movie->videoFrameCount = 250;
    movie->videoSampleDuration = 100;
    QuickTimeEditAtom edit;
    edit.addChild(new QuickTimeEditListAtom(movie.get()));
    COMPARE_BYTES(written(edit), Bytes().u32(36).text("edts").u32(28).text("elst").u32(0).u32(1).u32(25000).u32(0).u32(0x10000).bytes());
#else
    QSKIP("Only the Tolvan variant has edit lists");
#endif
}

void TestAtomBytes::alignmentSkip_data()
{
    QTest::addColumn<qint64>("parentOffset");
    QTest::addColumn<quint64>("lead");
    QTest::addColumn<quint32>("skipSize");

    QTest::newRow("table already aligned") << qint64(512 - 28) << quint64(20) << 8u;
    QTest::newRow("one byte past") << qint64(512 - 27) << quint64(20) << 8u + 511;
    QTest::newRow("co64 lead") << qint64(1100) << quint64(16) << 8u + (1536 - 1124);
}

void TestAtomBytes::alignmentSkip()
{
    QFETCH(qint64, parentOffset);
    QFETCH(quint64, lead);
    QFETCH(quint32, skipSize);

    TestMovie movie;
    QuickTimeMovieAtom moov;
    moov.offset = parentOffset - 8;
    auto* table = moov.addChild(new QuickTimeTrackAtom);
    table->size = 0; // the skip lands right at parentOffset
    moov.size = 8;
    movie->addAlignmentSkip(table, lead);
    QuickTimeAtom* skip = table->children.last();
    QCOMPARE(skip->offset, parentOffset);
    QCOMPARE(skip->size, skipSize);
    QCOMPARE((quint64(skip->offset) + skip->size + lead) % 512, quint64(0));
    QCOMPARE(moov.size, 8 + skipSize);
    COMPARE_BYTES(written(*skip), Bytes().u32(skipSize).text("skip").zeros(int(skipSize) - 8).bytes());
}

void TestAtomBytes::layoutConstants()
{
    QCOMPARE(QuickTimeFile::settingsOffset, quint64(QTLIB_VARIANT_TOLVAN ? 36 : 20));
    QCOMPARE(QuickTimeFile::settingsSize, quint64(QTLIB_VARIANT_TOLVAN ? 120 : 108));
    QCOMPARE(QuickTimeFile::frameMapOffset, quint64(QTLIB_VARIANT_TOLVAN ? 156 : 128));
    QCOMPARE(QuickTimeFile::mediaDataOffset, quint64(0x538000));
    QCOMPARE(QuickTimeFile::movieDataHeaderOffset, quint64(0x537FF0));
    QCOMPARE(QuickTimeFile::frameMapSize, quint64(5472000));
}

void TestAtomBytes::setters()
{
    TestMovie movie;
    QCOMPARE(movie->width, quint16(0));
    QCOMPARE(movie->videoTimeScale, 0u);
    QCOMPARE(movie->root.size, 0u);
    QCOMPARE(movie->movieDataAtom, nullptr);

    const struct {
        quint32 rate, timeScale, duration;
    } rates[] = { { 2397, 23976, 1000 }, { 2398, 23976, 1000 }, { 2399, 2399, 100 }, { 2997, 2997, 100 }, { 2500, 2500, 100 } };
    for (const auto& rate : rates) {
        movie->setFrameRate(rate.rate);
        QCOMPARE(movie->frameRate, rate.rate);
        QCOMPARE(movie->videoTimeScale, rate.timeScale);
        QCOMPARE(movie->videoSampleDuration, rate.duration);
    }
    movie->setAudioSampleRate(96000);
    movie->setBytesPerSample(3);
    movie->setTimecode(86399, 1, 1);
    QCOMPARE(movie->audioSampleRate, 96000u);
    QCOMPARE(movie->audioBytesPerSample, 3u);
    QCOMPARE(movie->startTimecode, 86399u);
    QCOMPARE(movie->dropFrame, quint8(1));
    QCOMPARE(movie->timecodeCounter, quint8(1));

    movie->setSummary(1, 2, 3, 4, 5, 6, 7, 8, 9);
    quint32 second = 0;
    quint32 ninth = 0;
    movie->summaryValues(nullptr, &second, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &ninth);
    QCOMPARE(second, 2u);
    QCOMPARE(ninth, 9u);
}

void TestAtomBytes::frameMapEntry()
{
    TestMovie movie;
    movie.setFrameMap({ entry(2, 1), entry(1, 0), entry(3, 16383) });
    int kind = -1;
    quint32 size = 0;
    QVERIFY(movie->frameMapEntry(0, &kind, &size));
    QCOMPARE(kind, 2);
    QCOMPARE(size, 512u);
    QVERIFY(movie->frameMapEntry(1, &kind, nullptr));
    QCOMPARE(kind, 1);
    QVERIFY(movie->frameMapEntry(1, nullptr, &size));
    QCOMPARE(size, 0u);
    // Kind 3 is counted by no track, so it lies beyond the counted entries.
    QVERIFY(!movie->frameMapEntry(2, &kind, &size));

    movie->videoFrameCount = 3000000;
    QVERIFY(movie->frameMapEntry(QuickTimeFile::frameMapCapacity - 1));
    QVERIFY(!movie->frameMapEntry(QuickTimeFile::frameMapCapacity));
}

void TestAtomBytes::openMovieDataAtom_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("open");

    const QByteArray open = Bytes().u32(1).text("mdat").u64(16);
    QTest::newRow("left open") << open << 1 << true;
    QTest::newRow("no media after it") << open << 0 << false;
    QTest::newRow("already closed") << Bytes().u32(1).text("mdat").u64(5000).bytes() << 1 << false;
    QTest::newRow("other atom") << Bytes().u32(1).text("free").u64(16).bytes() << 1 << false;
}

void TestAtomBytes::openMovieDataAtom()
{
    QFETCH(QByteArray, header);
    QFETCH(int, extra);
    QFETCH(bool, open);

    TestMovie movie;
    QByteArray content(int(QuickTimeFile::movieDataHeaderOffset), '\0');
    content.append(header);
    content.append(QByteArray(extra, 'm'));
    movie.device.close();
    movie.device.setData(content);
    movie.device.open(QIODevice::ReadWrite);
    QCOMPARE(movie->hasOpenMovieDataAtom(), open);
}

void TestAtomBytes::recoverySettings()
{
    TestMovie movie;
    QByteArray head(int(QuickTimeFile::frameMapOffset), '\0');
    QByteArray block(int(QuickTimeFile::settingsSize), '\0');
    const auto put32 = [&](int at, quint32 value) { qToLittleEndian(value, block.data() + at); };
    put32(0, 0x11111111);
    put32(4, 86399);
    block[8] = 1;
    put32(16, 5994);
    put32(24, 2);
    put32(28, 3);
    put32(32, 96000);
    qToLittleEndian(quint16(1920), block.data() + 40);
    qToLittleEndian(quint16(1080), block.data() + 42);
    put32(44, 1);
    put32(60, 200);
    put32(64, 100);
    const int endAt = QTLIB_VARIANT_TOLVAN ? 72 : 68;
    qToLittleEndian(quint64(6000000000ULL), block.data() + endAt);
    const int reelAt = QTLIB_VARIANT_TOLVAN ? 88 : 76;
    block.replace(reelAt, 32, QByteArray(32, 'R'));
    head.replace(int(QuickTimeFile::settingsOffset), block.size(), block);

    movie.device.close();
    movie.device.setData(head.left(int(QuickTimeFile::frameMapOffset) - 1));
    movie.device.open(QIODevice::ReadOnly);
    QCOMPARE(movie->readRecoverySettings(), nullptr);

    movie.device.close();
    movie.device.setData(head);
    movie.device.open(QIODevice::ReadOnly);
    const RecoverySettings* settings = movie->readRecoverySettings();
    QVERIFY(settings);
    QCOMPARE(settings, &movie->recoverySettings);
    QCOMPARE(settings->vendorValue1(), 0x11111111u);
    QCOMPARE(settings->startTimecode(), 86399u);
    QCOMPARE(settings->dropFrame(), quint8(1));
    QCOMPARE(settings->recordedRate(), 5994u);
    QCOMPARE(settings->audioChannelCount(), 2u);
    QCOMPARE(settings->audioBytesPerSample(), 3u);
    QCOMPARE(settings->audioSampleRate(), 96000u);
    QCOMPARE(settings->width(), quint16(1920));
    QCOMPARE(settings->height(), quint16(1080));
    QCOMPARE(settings->interlaced(), 1u);
    QCOMPARE(settings->audioLastChunkSamples(), 200u);
    QCOMPARE(settings->audioFirstChunkSamples(), 100u);
    QCOMPARE(settings->recordedEnd(), quint64(6000000000ULL));
    // A name without a zero byte stops at the end of its 32 bytes.
    QCOMPARE(settings->reelName(), QString(32, QLatin1Char('R')));

    movie->recoverySettings.bytes[reelAt + 4] = 0;
    QCOMPARE(settings->reelName(), QStringLiteral("RRRR"));
}

QTEST_MAIN(TestAtomBytes)
#include "tst_atombytes.moc"
