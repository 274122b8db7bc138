// The pieces both families' rebuilds share: counting the frame map, finding
// where the recorded media ends, the parts of a track, and telling a
// finished movie from a recording.

#include "quicktimechunkoffset64atom.h"
#include "quicktimefileatom.h"
#include "quicktimeframemapcount.h"
#include "quicktimemediaextent.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemoviecheck.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovietiming.h"
#include "quicktimesampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetestsupport.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackbuilder.h"
#include "quicktimetrackheaderatom.h"

#include <QTest>
#include <QtEndian>

#include <vector>

namespace {

constexpr quint64 media = 5472256;

// A bare frame map holding `entries`, the rest zero.
std::vector<quint8> frameMap(const QList<quint16>& entries)
{
    std::vector<quint8> map(QuickTimeFile::frameMapSize, 0);
    for (qsizetype i = 0; i < entries.size(); ++i)
        qToLittleEndian(entries.at(i), map.data() + 2 * i);
    return map;
}

QList<quint32> typesOf(const QuickTimeAtom* atom)
{
    QList<quint32> types;
    for (const QuickTimeAtom* child : atom->children)
        types.append(child->type);
    return types;
}

} // namespace

Q_DECLARE_METATYPE(QList<quint16>)

class RebuildPiecesTest : public QObject
{
    Q_OBJECT

private slots:
    void frameMapCount_data();
    void frameMapCount();
    void fullMapWithoutEnd();
    void mediaExtent_data();
    void mediaExtent();
    void trackParts();
    void mediaOfEachTrack();
    void movieTiming_data();
    void movieTiming();
    void tablesStartOnBlocks_data();
    void tablesStartOnBlocks();
    void finishedMovie_data();
    void finishedMovie();
};

void RebuildPiecesTest::frameMapCount_data()
{
    QTest::addColumn<QList<quint16>>("entries");
    QTest::addColumn<quint64>("availableEnd");
    QTest::addColumn<QList<quint32>>("expected"); // video, audio, timecode, entries, media bytes

    const quint64 anywhere = ~quint64(0);
    QTest::newRow("each kind") << QList<quint16>{ 0x8001, entry(1, 3), entry(0, 2), entry(1, 1) } << anywhere
                               << QList<quint32>{ 2, 1, 1, 4, 7 * 512 };
    QTest::newRow("kind 3 takes blocks, counts nothing") << QList<quint16>{ entry(1, 2), entry(3, 5), entry(1, 1) } << anywhere
                                                        << QList<quint32>{ 2, 0, 0, 3, 8 * 512 };
    QTest::newRow("a video frame of length 0 counts") << QList<quint16>{ 0x4000, 0x4000 } << anywhere
                                                     << QList<quint32>{ 2, 0, 0, 2, 0 };
    QTest::newRow("ends at the first zero entry") << QList<quint16>{ entry(1, 1), 0, entry(1, 1) } << anywhere
                                                  << QList<quint32>{ 1, 0, 0, 1, 512 };
    QTest::newRow("empty") << QList<quint16>{} << anywhere << QList<quint32>{ 0, 0, 0, 0, 0 };
    QTest::newRow("an item ending at the limit is whole") << QList<quint16>{ entry(1, 1), entry(0, 2) } << media + 3 * 512
                                                          << QList<quint32>{ 1, 1, 0, 2, 3 * 512 };
    QTest::newRow("one byte short is not") << QList<quint16>{ entry(1, 1), entry(0, 2), entry(1, 1) } << media + 3 * 512 - 1
                                           << QList<quint32>{ 1, 0, 0, 1, 512 };
    QTest::newRow("nothing whole") << QList<quint16>{ entry(1, 1) } << media << QList<quint32>{ 0, 0, 0, 0, 0 };
}

void RebuildPiecesTest::frameMapCount()
{
    QFETCH(QList<quint16>, entries);
    QFETCH(quint64, availableEnd);
    QFETCH(QList<quint32>, expected);

    const std::vector<quint8> map = frameMap(entries);
    const QuickTimeFrameMapCount count = QuickTimeFrameMapCount::of(map.data(), availableEnd);
    QCOMPARE((QList<quint32>{ count.videoFrames, count.audioChunks, count.timecodeSamples, count.entries, quint32(count.mediaBytes) }),
             expected);
    QCOMPARE(count.counted(), expected.at(0) + expected.at(1) + expected.at(2));
}

void RebuildPiecesTest::fullMapWithoutEnd()
{
    std::vector<quint8> map(QuickTimeFile::frameMapSize);
    for (quint32 i = 0; i < QuickTimeFile::frameMapCapacity; ++i)
        qToLittleEndian(entry(i % 4 == 0 ? 0 : 1, 1), map.data() + 2 * i);
    const QuickTimeFrameMapCount count = QuickTimeFrameMapCount::of(map.data());
    QCOMPARE(count.entries, QuickTimeFile::frameMapCapacity);
    QCOMPARE(count.audioChunks, QuickTimeFile::frameMapCapacity / 4);
    QCOMPARE(count.videoFrames, QuickTimeFile::frameMapCapacity / 4 * 3);
    QCOMPARE(count.mediaBytes, quint64(QuickTimeFile::frameMapCapacity) * 512);
    QCOMPARE(QuickTimeFrameMapCount::of(nullptr).entries, 0u);
}

void RebuildPiecesTest::mediaExtent_data()
{
    QTest::addColumn<quint64>("fileSize");
    QTest::addColumn<quint64>("recordedEnd");
    QTest::addColumn<quint64>("movieStart");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<quint32>("leftOut");

    // The map: ten items of 1,000 blocks each, ending at 10,392,256.
    const quint64 itemsEnd = media + 10 * 1000 * 512;
    QTest::newRow("recorded end at the end of the items") << itemsEnd << itemsEnd << itemsEnd << true << 0u;
    QTest::newRow("recorded end 0: the end of the file") << itemsEnd + 4096 << quint64(0) << itemsEnd + 4096 << false << 0u;
    QTest::newRow("recorded end inside a longer file") << itemsEnd + 9999 << itemsEnd + 512 << itemsEnd + 512 << true << 0u;
    QTest::newRow("recorded end at the end of the file") << itemsEnd + 512 << itemsEnd + 512 << itemsEnd + 512 << true << 0u;
    QTest::newRow("recorded end past the file") << itemsEnd << itemsEnd + 1 << itemsEnd << false << 0u;
    QTest::newRow("recorded end inside the items") << itemsEnd + 100 << itemsEnd - 512 << itemsEnd + 100 << false << 0u;
    QTest::newRow("recorded end inside the head") << itemsEnd << quint64(1000) << itemsEnd << false << 0u;
    QTest::newRow("torn: three items short") << itemsEnd - 2 * 1000 * 512 - 1 << itemsEnd << itemsEnd - 2 * 1000 * 512 - 1
                                             << false << 3u;
    QTest::newRow("torn, recorded end at the whole items") << itemsEnd - 1 << itemsEnd - 1000 * 512 << itemsEnd - 1000 * 512
                                                           << true << 1u;
    QTest::newRow("a file that ends in its head") << media - 16 << quint64(0) << media << false << 10u;
}

void RebuildPiecesTest::mediaExtent()
{
    QFETCH(quint64, fileSize);
    QFETCH(quint64, recordedEnd);
    QFETCH(quint64, movieStart);
    QFETCH(bool, usable);
    QFETCH(quint32, leftOut);

    const std::vector<quint8> map = frameMap(QList<quint16>(10, entry(1, 1000)));
    const QuickTimeMediaExtent extent(map.data(), fileSize, recordedEnd);
    QCOMPARE(extent.listed.entries, 10u);
    QCOMPARE(extent.leftOutItems(), leftOut);
    QCOMPARE(extent.isTorn(), leftOut != 0);
    QCOMPARE(extent.whole.videoFrames, 10u - leftOut);
    QCOMPARE(extent.itemsEnd(), media + (10 - leftOut) * 1000 * 512);
    QCOMPARE(extent.recordedEndUsable(), usable);
    QCOMPARE(extent.movieStart(), movieStart);
    QCOMPARE(extent.movieDataSize(), 16 + movieStart - media);
    // Never into the head, never over an item the tables point at.
    QVERIFY(extent.movieStart() >= extent.itemsEnd());
}

void RebuildPiecesTest::trackParts()
{
    TestMovie movie;
    QuickTimeMovieAtom* moov = movie->root.addChild(new QuickTimeMovieAtom(movie.get()));
    moov->offset = 1000;
    QuickTimeTrackBuilder builder(movie.get());
    QuickTimeTrackAtom* track = builder.addTrack(moov, 7, 1234, 1920, 1080);
    QuickTimeMediaInformationAtom* information = builder.addMedia(track, 2500, 1234, fourCC("vide"));
    QuickTimeSampleTableAtom* table = builder.addDataReference(information);

    QCOMPARE(typesOf(track), (QList<quint32>{ fourCC("tkhd"), fourCC("mdia") }));
    QCOMPARE(typesOf(track->children.at(1)), (QList<quint32>{ fourCC("mdhd"), fourCC("hdlr"), fourCC("minf") }));
    QCOMPARE(typesOf(information), (QList<quint32>{ fourCC("hdlr"), fourCC("dinf"), fourCC("stbl") }));
    QCOMPARE(typesOf(information->children.at(1)), QList<quint32>{ fourCC("dref") });
    const auto* header = static_cast<QuickTimeTrackHeaderAtom*>(track->children.first());
    QCOMPARE(header->trackId, 7u);
    QCOMPARE(header->duration, 1234u);
    QCOMPARE(header->volume, QuickTimeTrackBuilder::fullVolume);
    QCOMPARE(header->width, 1920u << 16);
    QCOMPARE(table->size, 8u);
    QCOMPARE(quint32(written(*moov).size()), moov->size);
}

void RebuildPiecesTest::mediaOfEachTrack()
{
    TestMovie movie;
    movie.setFrameMap({ 0x8001, entry(1, 2), entry(1, 3), entry(0, 6), entry(1, 1) });
    movie->videoCodec = 1;
    movie->videoSamplesPerChunk = 3;
    movie->audioChannelCount = 2;
    movie->audioSamplesPerChunk = 1024;
    movie->audioBytesPerSample = 3;
    movie->reelName = QStringLiteral("REEL");
    const QuickTimeMovieTiming timing(*movie);
    QuickTimeMovieAtom* moov = movie->root.addChild(new QuickTimeMovieAtom(movie.get()));
    moov->offset = 0;
    QuickTimeTrackBuilder builder(movie.get());
    const auto stbl = [](QuickTimeAtom* track) { return track->children.at(1)->children.at(2)->children.last(); };

    QuickTimeTrackAtom* timecode = builder.addTrack(moov, 1, 300);
    QuickTimeAtom* timecodeTable = builder.addTimecodeMedia(timecode, 300);
    QCOMPARE(timecodeTable, stbl(timecode));
    QCOMPARE(typesOf(timecode->children.at(1)->children.at(2)),
             (QList<quint32>{ fourCC("gmhd"), fourCC("hdlr"), fourCC("dinf"), fourCC("stbl") }));
    const auto* descriptions = static_cast<QuickTimeSampleDescriptionAtom*>(timecodeTable->children.first());
    QCOMPARE(descriptions->descriptions.first()->size, 34u + 44u); // the reel's name lies inside
    QCOMPARE(typesOf(descriptions), QList<quint32>{ fourCC("name") });

    QuickTimeTrackAtom* video = builder.addTrack(moov, 2, 300);
    builder.addVideoMedia(video, timing);
    QCOMPARE(typesOf(stbl(video)), (QList<quint32>{ fourCC("stsd"), fourCC("stts"), fourCC("stsc"), fourCC("skip"),
                                                     fourCC("stsz"), fourCC("skip"), fourCC("co64") }));
    QCOMPARE(static_cast<QuickTimeSampleDescriptionAtom*>(stbl(video)->children.first())->entryCount, 1u);

    QuickTimeTrackAtom* sound = builder.addTrack(moov, 3, 300);
    builder.addSoundMedia(sound, 1, timing);
    QCOMPARE(typesOf(sound->children.at(1)->children.at(2)),
             (QList<quint32>{ fourCC("smhd"), fourCC("hdlr"), fourCC("dinf"), fourCC("stbl") }));
    const QByteArray bytes = written(*moov);
    QCOMPARE(quint32(bytes.size()), moov->size);
    // Channel 1 starts one channel block (1,024 samples of 3 bytes) into its chunk.
    QVERIFY(bytes.endsWith(Bytes().text("co64").u32(0).u32(1).u64(media + 6 * 512 + 3072).bytes()));
}

void RebuildPiecesTest::movieTiming_data()
{
    // frames, frames per chunk, audio chunks, channels, samples per chunk, first, last, sample rate
    QTest::addColumn<QList<quint32>>("take");
    // samples per chunk, first, last, sound samples, video chunks, frames per chunk, last chunk frames, duration
    QTest::addColumn<QList<quint32>>("expected");

    using L = QList<quint32>;
    QTest::newRow("10 frames in chunks of 3") << L{ 10, 3, 0, 0, 3072, 0, 0, 48000 } << L{ 3072, 0, 0, 0, 4, 3, 1, 1000 };
    QTest::newRow("9 frames in chunks of 3") << L{ 9, 3, 0, 0, 3072, 0, 0, 48000 } << L{ 3072, 0, 0, 0, 3, 3, 0, 900 };
    QTest::newRow("2 frames: one chunk of two") << L{ 2, 3, 0, 0, 3072, 0, 0, 48000 } << L{ 3072, 0, 0, 0, 1, 2, 0, 200 };
    QTest::newRow("no video chunking") << L{ 5, 0, 0, 0, 3072, 0, 0, 48000 } << L{ 3072, 0, 0, 0, 0, 0, 0, 500 };
    QTest::newRow("10 chunks, first 1000, last 500") << L{ 30, 3, 10, 2, 3072, 1000, 500, 48000 }
                                                     << L{ 3072, 1000, 500, 26076, 10, 3, 0, 3000 };
    QTest::newRow("one chunk, first and last count") << L{ 3, 3, 1, 1, 3072, 300, 200, 48000 } << L{ 300, 0, 0, 300, 1, 3, 0, 300 };
    QTest::newRow("one chunk, last count") << L{ 3, 3, 1, 1, 3072, 0, 200, 48000 } << L{ 200, 0, 0, 200, 1, 3, 0, 300 };
    QTest::newRow("two short chunks") << L{ 3, 3, 2, 1, 3072, 300, 200, 48000 } << L{ 200, 300, 0, 500, 1, 3, 0, 300 };
    // 26,076 samples at 48 kHz are 1,358.125 units of 1/2500 s.
    QTest::newRow("no video: the sound's length") << L{ 0, 3, 10, 2, 3072, 1000, 500, 48000 }
                                                   << L{ 3072, 1000, 500, 26076, 0, 3, 0, 1359 };
    QTest::newRow("no video, chunks without channels") << L{ 0, 3, 10, 0, 3072, 0, 0, 48000 } << L{ 3072, 0, 0, 30720, 0, 3, 0, 0 };
}

void RebuildPiecesTest::movieTiming()
{
    QFETCH(QList<quint32>, take);
    QFETCH(QList<quint32>, expected);

    TestMovie movie;
    movie->videoFrameCount = take.at(0);
    movie->videoSamplesPerChunk = take.at(1);
    movie->audioChunkCount = take.at(2);
    movie->audioChannelCount = take.at(3);
    movie->audioSamplesPerChunk = take.at(4);
    movie->audioFirstChunkSamples = take.at(5);
    movie->audioLastChunkSamples = take.at(6);
    movie->audioSampleRate = take.at(7);
    movie->setFrameRate(2500);
    const QuickTimeMovieTiming timing(*movie);
    QCOMPARE(timing.hasSoundTracks, take.at(2) > 0 && take.at(3) > 0);
    const QList<quint32> actual{ timing.samplesPerChunk, timing.firstChunkSamples, timing.lastChunkSamples, timing.soundSamples,
                                 timing.videoChunks, timing.framesPerChunk, timing.lastChunkFrames, timing.movieDuration };
    QCOMPARE(actual, expected);
}

void RebuildPiecesTest::tablesStartOnBlocks_data()
{
    QTest::addColumn<qint64>("movieOffset");
    QTest::addColumn<bool>("aligned");
    for (qint64 offset : { 0, 1, 300, 511, 5472256 + 77 }) {
        QTest::addRow("aligned at %lld", offset) << offset << true;
        QTest::addRow("unaligned at %lld", offset) << offset << false;
    }
}

void RebuildPiecesTest::tablesStartOnBlocks()
{
    QFETCH(qint64, movieOffset);
    QFETCH(bool, aligned);

    TestMovie movie;
    movie.setFrameMap({ entry(1, 2), entry(1, 3), entry(1, 1) });
    QuickTimeMovieAtom* moov = movie->root.addChild(new QuickTimeMovieAtom(movie.get()));
    moov->offset = movieOffset;
    QuickTimeTrackBuilder builder(movie.get());
    QuickTimeSampleTableAtom* table
        = builder.addDataReference(builder.addMedia(builder.addTrack(moov, 2, 300), 2500, 300, fourCC("vide")));
    const QuickTimeTrackBuilder::TableAlignment alignment
        = aligned ? QuickTimeTrackBuilder::TableAlignment::Aligned : QuickTimeTrackBuilder::TableAlignment::Unaligned;
    builder.addSampleTables(table, new QuickTimeTimeToSampleAtom(movie.get(), 3, 100),
        new QuickTimeSampleToChunkAtom(movie.get(), 2, 2, 1, 0),
        new QuickTimeSampleSizeAtom(movie.get(), QuickTimeFile::VideoFrame, 3, 0),
        new QuickTimeChunkOffset64Atom(movie.get(), QuickTimeFile::VideoFrame, 3, 0, 2, 0, 0), alignment);

    const QList<quint32> expectedTypes = aligned
        ? QList<quint32>{ fourCC("stts"), fourCC("stsc"), fourCC("skip"), fourCC("stsz"), fourCC("skip"), fourCC("co64") }
        : QList<quint32>{ fourCC("stts"), fourCC("stsc"), fourCC("stsz"), fourCC("co64") };
    QCOMPARE(typesOf(table), expectedTypes);
    const QuickTimeAtom* sizes = table->children.at(aligned ? 3 : 2);
    const QuickTimeAtom* offsets = table->children.last();
    if (aligned) {
        QCOMPARE((sizes->offset + QuickTimeTrackBuilder::sampleSizeTableLead) % 512, 0);
        QCOMPARE((offsets->offset + QuickTimeTrackBuilder::chunkOffsetTableLead) % 512, 0);
    }

    // Written where the offsets say, the tables hold the items' sizes and places.
    movie.device.seek(movieOffset);
    QVERIFY(movie->writeMovie());
    const QByteArray bytes = movie.device.data();
    QCOMPARE(quint32(bytes.size() - movieOffset), moov->size);
    QCOMPARE(bytes.mid(sizes->offset + 20, 12), Bytes().u32(1024).u32(1536).u32(512).bytes());
    QCOMPARE(bytes.mid(offsets->offset + 16, 16), Bytes().u64(media).u64(media + 5 * 512).bytes());
}

void RebuildPiecesTest::finishedMovie_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("complete");

    const QByteArray fileType = Bytes().u32(20).text("ftypqt  ").u32(0x20070400).text("qt  ");
    const QByteArray userData = Bytes().u32(16).text("udta").u32(8).text("urec");
    const QByteArray mediaBytes(1000, 'm');
    const QByteArray closedMedia = Bytes().u32(1).text("mdat").u64(16 + mediaBytes.size()).raw(mediaBytes);
    const QByteArray openMedia = Bytes().u32(1).text("mdat").u64(16).raw(mediaBytes);
    const QByteArray movieAtom = Bytes().u32(8 + 16).text("moov").u32(16).text("udta").u32(8).text("wide");
    const QByteArray closing(512, '\0');

    QTest::newRow("finished recording") << fileType + userData + closedMedia + movieAtom + closing << true;
    QTest::newRow("finished, old bytes after the closing block")
        << fileType + userData + closedMedia + movieAtom + closing + QByteArray(3000, 'x') << true;
    QTest::newRow("movie first") << fileType + movieAtom + closedMedia << true;
    QTest::newRow("media data still open") << fileType + userData + openMedia + movieAtom + closing << false;
    QTest::newRow("no media data") << fileType + movieAtom << false;
    QTest::newRow("no movie") << fileType + userData + closedMedia << false;
    QTest::newRow("movie cut short") << fileType + closedMedia + movieAtom.left(20) << false;
    QTest::newRow("movie that does not parse")
        << fileType + closedMedia + Bytes().u32(8 + 8).text("moov").u32(99).text("trak").bytes() << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void RebuildPiecesTest::finishedMovie()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, complete);

    QBuffer device;
    device.setData(file);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(QuickTimeMovieCheck::isComplete(&device), complete);
}

QTEST_MAIN(RebuildPiecesTest)
#include "tst_rebuildpieces.moc"
