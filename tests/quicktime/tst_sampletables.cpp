// Sample tables: their bytes, the frame map rules, and streaming tables of
// any length through the buffered device in batches.

#include "quicktimechunkoffset64atom.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetestsupport.h"
#include "quicktimetimetosampleatom.h"

#include <QTest>

#include <functional>

namespace {

constexpr quint64 media = 5472256;

// Writes the atom as the only top-level atom of the movie, through writeMovie.
QByteArray writtenByMovie(TestMovie& movie, QuickTimeAtom* atom, bool* result = nullptr)
{
    movie->root.addChild(atom);
    const qint64 start = movie.device.pos();
    const bool ok = movie->writeMovie();
    if (result)
        *result = ok;
    return movie.device.data().mid(start);
}

Bytes co64(const QList<quint64>& offsets)
{
    Bytes bytes;
    bytes.u32(16 + 8 * quint32(offsets.size())).text("co64").u32(0).u32(quint32(offsets.size()));
    for (quint64 offset : offsets)
        bytes.u64(offset);
    return bytes;
}

} // namespace

class TestSampleTables : public QObject
{
    Q_OBJECT

private slots:
    void timeToSample();
    void sampleToChunk_data();
    void sampleToChunk();
    void sampleSizes();
    void chunkOffsets_data();
    void chunkOffsets();
    void channelAdjustments();
    void thirtyTwoBitOffsets();
    void tablesLargerThanTheBuffer();
    void chunkOffsetLogLines();
    void incompleteTableFailsTheWrite();
    void diskFailureStopsTheTable();
};

void TestSampleTables::timeToSample()
{
    QuickTimeTimeToSampleAtom atom(nullptr, 7, 100);
    QCOMPARE(atom.size, 24u);
    COMPARE_BYTES(written(atom), Bytes().u32(24).text("stts").u32(0).u32(1).u32(7).u32(100).bytes());

    // A second run grows the atom and the tree it sits in.
    QuickTimeAtom table(fourCC("stbl"));
    auto* times = table.addChild(new QuickTimeTimeToSampleAtom(nullptr, 1, 500));
    times->addEntry(2, 0);
    QCOMPARE(table.size, 8u + 32u);
    COMPARE_BYTES(written(*times), Bytes().u32(32).text("stts").u32(0).u32(2).u32(1).u32(500).u32(2).u32(0).bytes());
}

void TestSampleTables::sampleToChunk_data()
{
    QTest::addColumn<QList<quint32>>("arguments"); // samples per chunk, last first chunk, last, first
    QTest::addColumn<QList<quint32>>("entries");

    using L = QList<quint32>;
    QTest::newRow("full chunks only") << L { 10, 0, 0, 0 } << L { 1, 10, 1 };
    QTest::newRow("first and last") << L { 512, 100, 5, 3 } << L { 1, 3, 1, 2, 512, 1, 100, 5, 1 };
    QTest::newRow("short first chunk") << L { 3072, 10, 0, 1000 } << L { 1, 1000, 1, 2, 3072, 1 };
    QTest::newRow("short last chunk") << L { 3, 3, 1, 0 } << L { 1, 3, 1, 3, 1, 1 };
}

void TestSampleTables::sampleToChunk()
{
    QFETCH(QList<quint32>, arguments);
    QFETCH(QList<quint32>, entries);

    QuickTimeSampleToChunkAtom atom(nullptr, arguments[0], arguments[1], arguments[2], arguments[3]);
    const quint32 count = quint32(entries.size()) / 3;
    QCOMPARE(atom.size, 16 + 12 * count);
    Bytes expected;
    expected.u32(16 + 12 * count).text("stsc").u32(0).u32(count);
    for (quint32 value : entries)
        expected.u32(value);
    COMPARE_BYTES(written(atom), expected.bytes());
}

void TestSampleTables::sampleSizes()
{
    TestMovie movie;
    movie.setFrameMap({ entry(2, 1), entry(1, 100), entry(0, 10), entry(1, 16383), entry(3, 4), entry(1, 0) });

    QuickTimeSampleSizeAtom constant(movie.get(), 0, 4396, 3);
    QCOMPARE(constant.size, 20u);
    COMPARE_BYTES(written(constant), Bytes().u32(20).text("stsz").u32(0).u32(3).u32(4396).bytes());

    QuickTimeSampleSizeAtom video(movie.get(), QuickTimeFile::VideoFrame, 3, 0);
    QCOMPARE(video.size, 32u);
    COMPARE_BYTES(written(video), Bytes().u32(32).text("stsz").u32(0).u32(0).u32(3).u32(51200).u32(16383 * 512).u32(0).bytes());

    QuickTimeSampleSizeAtom timecode(movie.get(), QuickTimeFile::TimecodeSample, 1, 0);
    COMPARE_BYTES(written(timecode), Bytes().u32(24).text("stsz").u32(0).u32(0).u32(1).u32(512).bytes());
}

void TestSampleTables::chunkOffsets_data()
{
    QTest::addColumn<QList<quint16>>("map");
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("samples");
    QTest::addColumn<quint32>("samplesPerChunk");
    QTest::addColumn<quint64>("adjustment");
    QTest::addColumn<QList<quint64>>("offsets");

    using M = QList<quint16>;
    using O = QList<quint64>;
    const M videoSoundVideo { entry(1, 100), entry(0, 10), entry(1, 100) };
    QTest::newRow("video around sound") << videoSoundVideo << 1 << 2u << 1u << quint64(0) << O { media, media + 51200 + 5120 };
    QTest::newRow("with adjustment") << videoSoundVideo << 1 << 2u << 1u << quint64(7) << O { media + 7, media + 56327 };
    QTest::newRow("the sound chunk") << videoSoundVideo << 0 << 1u << 1u << quint64(0) << O { media + 51200 };

    M seven;
    O firstFourthSeventh;
    quint64 position = media;
    for (int i = 0; i < 7; ++i) {
        if (i % 3 == 0)
            firstFourthSeventh.append(position);
        seven << entry(1, i + 1) << entry(0, 2);
        position += quint64(i + 1 + 2) * 512;
    }
    QTest::newRow("7 frames, 3 per chunk") << seven << 1 << 7u << 3u << quint64(0) << firstFourthSeventh;

    // Kind 3 belongs to no track but its blocks still count.
    QTest::newRow("kind 3 moves the offset") << M { entry(1, 1), entry(3, 5), entry(1, 1) } << 1 << 2u << 1u << quint64(0) << O { media, media + 6 * 512 };
    QTest::newRow("kind 3 has no table") << M { entry(3, 5), entry(3, 5) } << 3 << 0u << 1u << quint64(0) << O {};
    QTest::newRow("no samples per chunk") << videoSoundVideo << 1 << 2u << 0u << quint64(0) << O {};
}

void TestSampleTables::chunkOffsets()
{
    QFETCH(QList<quint16>, map);
    QFETCH(int, kind);
    QFETCH(quint32, samples);
    QFETCH(quint32, samplesPerChunk);
    QFETCH(quint64, adjustment);
    QFETCH(QList<quint64>, offsets);

    TestMovie movie;
    movie.setFrameMap(map);
    auto* atom = new QuickTimeChunkOffset64Atom(movie.get(), kind, samples, adjustment, samplesPerChunk, 0, 0);
    QCOMPARE(atom->size, 16 + 8 * quint32(offsets.size()));
    DebugLines lines;
    bool ok = false;
    const QByteArray bytes = writtenByMovie(movie, atom, &ok);
    QVERIFY(ok);
    COMPARE_BYTES(bytes, co64(offsets).bytes());
}

void TestSampleTables::channelAdjustments()
{
    // Ten audio chunks of two channels, 3 bytes per sample: a first chunk of
    // 100 samples per channel, full chunks of 512, a last chunk of 200.
    TestMovie movie;
    QList<quint16> map;
    QList<quint64> chunkPositions;
    quint64 position = media;
    for (int chunk = 0; chunk < 10; ++chunk) {
        map << entry(1, 40);
        position += 40 * 512;
        const int blocks = chunk == 0 ? 2 : chunk == 9 ? 3 : 6;
        chunkPositions.append(position);
        map << entry(0, blocks);
        position += quint64(blocks) * 512;
    }
    movie.setFrameMap(map);

    const quint32 bytesPerSample = 3;
    for (quint32 channel = 0; channel < 2; ++channel) {
        const quint64 full = channel * bytesPerSample * 512;
        const quint64 last = channel * bytesPerSample * 200;
        const quint64 first = channel * bytesPerSample * 100;
        QuickTimeChunkOffset64Atom atom(movie.get(), QuickTimeFile::AudioChunk, 10, full, 1, last, first);
        QList<quint64> expected;
        for (int chunk = 0; chunk < 10; ++chunk)
            expected.append(chunkPositions[chunk] + (chunk == 0 ? first : chunk == 9 ? last : full));
        DebugLines lines;
        COMPARE_BYTES(writtenBuffered(atom, 131072), co64(expected).bytes());
    }
    QCOMPARE(chunkPositions[0] + 300 - chunkPositions[0], quint64(300));

    // One chunk that is both first and last takes the last adjustment.
    TestMovie single;
    single.setFrameMap({ entry(0, 4) });
    QuickTimeChunkOffset64Atom atom(single.get(), QuickTimeFile::AudioChunk, 1, 1536, 1, 600, 300);
    DebugLines lines;
    COMPARE_BYTES(writtenBuffered(atom, 131072), co64({ media + 600 }).bytes());
}

void TestSampleTables::thirtyTwoBitOffsets()
{
    TestMovie movie;
    movie.setFrameMap({ entry(2, 1), entry(1, 8), entry(2, 1) });
    QuickTimeChunkOffsetAtom atom(movie.get(), QuickTimeFile::TimecodeSample, 2, 4);
    QCOMPARE(atom.size, 24u);
    COMPARE_BYTES(written(atom), Bytes().u32(24).text("stco").u32(0).u32(2).u32(quint32(media) + 4).u32(quint32(media) + 9 * 512 + 4).bytes());
}

void TestSampleTables::tablesLargerThanTheBuffer()
{
    // 40,000 frames and 20,000 audio chunks: more sizes than fit 131,072
    // bytes (32,768) and more offsets (16,384), so both tables take batches.
    TestMovie movie;
    QList<quint16> map;
    QList<quint32> frameSizes;
    QList<quint64> frameChunks;
    QList<quint64> audioChunks;
    quint64 position = media;
    int frames = 0;
    for (int i = 0; i < 60000; ++i) {
        if (i % 3 == 2) {
            map << entry(0, 6);
            audioChunks.append(position + 1536);
            position += 6 * 512;
            continue;
        }
        const int blocks = 1 + (i * 37) % 500;
        map << entry(1, blocks);
        frameSizes.append(quint32(blocks) * 512);
        if (frames++ % 3 == 0)
            frameChunks.append(position);
        position += quint64(blocks) * 512;
    }
    movie.setFrameMap(map);
    QCOMPARE(movie->videoFrameCount, 40000u);

    Bytes sizes;
    sizes.u32(20 + 4 * 40000).text("stsz").u32(0).u32(0).u32(40000);
    for (quint32 size : frameSizes)
        sizes.u32(size);
    Bytes expectedFrames = co64(frameChunks);
    Bytes expectedAudio = co64(audioChunks);
    QCOMPARE(frameChunks.size(), 13334);
    QVERIFY(audioChunks.size() > 16384);

    QuickTimeSampleSizeAtom sizeAtom(movie.get(), QuickTimeFile::VideoFrame, 40000, 0);
    QuickTimeChunkOffset64Atom frameAtom(movie.get(), QuickTimeFile::VideoFrame, 40000, 0, 3, 0, 0);
    QuickTimeChunkOffset64Atom audioAtom(movie.get(), QuickTimeFile::AudioChunk, 20000, 1536, 1, 0, 0);
    DebugLines lines;
    for (int bufferSize : { 131072, 1 << 22, 24, 1000 }) {
        COMPARE_BYTES(writtenBuffered(sizeAtom, bufferSize), sizes.bytes());
        COMPARE_BYTES(writtenBuffered(frameAtom, bufferSize), expectedFrames.bytes());
        COMPARE_BYTES(writtenBuffered(audioAtom, bufferSize), expectedAudio.bytes());
    }
    COMPARE_BYTES(written(sizeAtom), sizes.bytes());
    COMPARE_BYTES(written(audioAtom), expectedAudio.bytes());
}

void TestSampleTables::chunkOffsetLogLines()
{
    TestMovie movie;
    movie.setFrameMap({ entry(1, 1), entry(1, 1) });
    movie.device.write(QByteArray(1000, 'm'));
    DebugLines lines;
    writtenByMovie(movie, new QuickTimeChunkOffset64Atom(movie.get(), QuickTimeFile::VideoFrame, 2, 0, 1, 0, 0));
    const QStringList expected = QTLIB_VARIANT_TOLVAN
        ? QStringList { QStringLiteral("stream 2 entries (3f8)"), QStringLiteral("done streaming 2 entries") }
        : QStringList {};
    QCOMPARE(lines.lines, expected);
}

void TestSampleTables::incompleteTableFailsTheWrite()
{
    TestMovie movie;
    movie.setFrameMap({ entry(1, 1), entry(0, 1), entry(1, 1) });
    DebugLines lines;
    bool ok = true;
    // The sound track asks for sizes the frame map cannot give.
    writtenByMovie(movie, new QuickTimeSampleSizeAtom(movie.get(), QuickTimeFile::AudioChunk, 3, 0), &ok);
    QVERIFY(!ok);
    QCOMPARE(lines.lines, QStringList { QStringLiteral("Sample table 'stsz' needs 3 entries, the frame map gives 1") });
}

void TestSampleTables::diskFailureStopsTheTable()
{
    TestMovie movie;
    QList<quint16> map(100000, entry(1, 1));
    movie.setFrameMap(map);
    RecordingDevice target;
    target.failAt = 1;
    movie->device = &target;
    DebugLines lines;
    bool ok = true;
    writtenByMovie(movie, new QuickTimeSampleSizeAtom(movie.get(), QuickTimeFile::VideoFrame, 100000, 0), &ok);
    QVERIFY(!ok);
    // The count went out with the header, the first batch failed, nothing followed.
    QCOMPARE(target.writes.size(), 2);
    QVERIFY(lines.lines.first().contains(QStringLiteral("HDD error")));
}

QTEST_MAIN(TestSampleTables)
#include "tst_sampletables.moc"
