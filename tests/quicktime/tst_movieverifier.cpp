// The check a rebuilt movie passes before the movie data header commits it,
// on a small movie whose bytes are then damaged in each way that matters.

#include "quicktimechunkoffset64atom.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemovieverifier.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetestsupport.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackbuilder.h"

#include <QTest>
#include <QtEndian>

using Result = QuickTimeMovieVerifier::Result;
Q_DECLARE_METATYPE(QuickTimeMovieVerifier::Result)

namespace {

constexpr qint64 media = qint64(QuickTimeFile::mediaDataOffset);
constexpr qint64 mediaBytes = 6 * 512;

// Two video frames (2 and 3 blocks) in one chunk around a one-block sound
// chunk of 256 two-byte samples, and a movie for them right behind.
struct SmallMovie
{
    SmallMovie()
    {
        movie.setFrameMap({ entry(1, 2), entry(0, 1), entry(1, 3) });
        movie.device.buffer().resize(media + mediaBytes);
        QuickTimeMovieAtom* moov = movie->root.addChild(new QuickTimeMovieAtom(movie.get()));
        moov->offset = media + mediaBytes;
        QuickTimeTrackBuilder builder(movie.get());
        auto table = [&](quint32 id, quint32 subtype) {
            return builder.addDataReference(builder.addMedia(builder.addTrack(moov, id, 200), 2500, 200, subtype));
        };
        videoTimes = new QuickTimeTimeToSampleAtom(movie.get(), 2, 100);
        videoOffsets = new QuickTimeChunkOffset64Atom(movie.get(), QuickTimeFile::VideoFrame, 2, 0, 2, 0, 0);
        videoSizes = new QuickTimeSampleSizeAtom(movie.get(), QuickTimeFile::VideoFrame, 2, 0);
        builder.addSampleTables(table(1, fourCC("vide")), videoTimes, new QuickTimeSampleToChunkAtom(movie.get(), 2, 1, 0, 0),
            videoSizes, videoOffsets, QuickTimeTrackBuilder::TableAlignment::Aligned);
        soundChunks = new QuickTimeSampleToChunkAtom(movie.get(), 256, 1, 0, 0);
        soundOffsets = new QuickTimeChunkOffset64Atom(movie.get(), QuickTimeFile::AudioChunk, 1, 0, 1, 0, 0);
        builder.addSampleTables(table(2, fourCC("soun")), new QuickTimeTimeToSampleAtom(movie.get(), 256, 1), soundChunks,
            new QuickTimeSampleSizeAtom(movie.get(), QuickTimeFile::AudioChunk, 256, 2), soundOffsets,
            QuickTimeTrackBuilder::TableAlignment::Aligned);
        movie.device.seek(moov->offset);
        written = movie->writeMovie();
    }

    void poke32(qint64 offset, quint32 value) { qToBigEndian<quint32>(value, movie.device.buffer().data() + offset); }
    void poke64(qint64 offset, quint64 value) { qToBigEndian<quint64>(value, movie.device.buffer().data() + offset); }

    TestMovie movie;
    QuickTimeTimeToSampleAtom* videoTimes;
    QuickTimeSampleSizeAtom* videoSizes;
    QuickTimeChunkOffset64Atom* videoOffsets;
    QuickTimeSampleToChunkAtom* soundChunks;
    QuickTimeChunkOffset64Atom* soundOffsets;
    bool written = false;
};

} // namespace

class MovieVerifierTest : public QObject
{
    Q_OBJECT

private slots:
    void checksTheMovie_data();
    void checksTheMovie();
    void checksACommittedMovie_data();
    void checksACommittedMovie();
};

void MovieVerifierTest::checksTheMovie_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<Result>("result");

    QTest::newRow("none") << "none" << Result::Sound;
    QTest::newRow("a frame more to time than to size") << "stts" << Result::CountsDisagree;
    QTest::newRow("a sample more per chunk than sized") << "stsc samples" << Result::CountsDisagree;
    QTest::newRow("a chunk table from the second chunk") << "stsc first" << Result::CountsDisagree;
    QTest::newRow("a video chunk running past the media") << "video offset" << Result::OutsideMedia;
    QTest::newRow("a sound chunk in the head") << "sound offset" << Result::OutsideMedia;
    QTest::newRow("media data a block short of the movie") << "media size" << Result::MediaNotCovered;
    QTest::newRow("no movie atom there") << "moov" << Result::Unreadable;
    QTest::newRow("a movie atom longer than the file") << "moov size" << Result::Unreadable;
    QTest::newRow("a track without sample sizes") << "stsz" << Result::IncompleteTrack;
}

void MovieVerifierTest::checksTheMovie()
{
    QFETCH(QString, damage);
    QFETCH(Result, result);

    SmallMovie small;
    QVERIFY(small.written);
    const qint64 start = media + mediaBytes;
    quint64 movieDataSize = 16 + mediaBytes;
    if (damage == "stts")
        small.poke32(small.videoTimes->offset + 16, 3);
    else if (damage == "stsc samples")
        small.poke32(small.soundChunks->offset + 20, 257);
    else if (damage == "stsc first")
        small.poke32(small.soundChunks->offset + 16, 2);
    else if (damage == "video offset")
        small.poke64(small.videoOffsets->offset + 16, media + 1024);
    else if (damage == "sound offset")
        small.poke64(small.soundOffsets->offset + 16, media - 512);
    else if (damage == "media size")
        movieDataSize -= 512;
    else if (damage == "moov")
        small.poke32(start + 4, fourCC("free"));
    else if (damage == "moov size")
        small.poke32(start, quint32(small.movie.device.size() - start + 8));
    else if (damage == "stsz")
        small.poke32(small.videoSizes->offset + 4, fourCC("free"));

    QCOMPARE(QuickTimeMovieVerifier::check(&small.movie.device, movieDataSize, quint64(start)), result);
    QVERIFY(QByteArray(QuickTimeMovieVerifier::reason(result)).size() > 10);
}

void MovieVerifierTest::checksACommittedMovie_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<Result>("result");

    QTest::newRow("committed") << Bytes().u32(1).text("mdat").u64(16 + mediaBytes).bytes() << Result::Sound;
    QTest::newRow("still open") << Bytes().u32(1).text("mdat").u64(16).bytes() << Result::Unreadable;
    QTest::newRow("committed a block short") << Bytes().u32(1).text("mdat").u64(16 + mediaBytes - 512).bytes()
                                             << Result::Unreadable;
    QTest::newRow("size past the file") << Bytes().u32(1).text("mdat").u64(quint64(1) << 40).bytes()
                                        << Result::MediaNotCovered;
    QTest::newRow("not a movie data header") << Bytes().u32(1).text("free").u64(16 + mediaBytes).bytes()
                                             << Result::Unreadable;
}

void MovieVerifierTest::checksACommittedMovie()
{
    QFETCH(QByteArray, header);
    QFETCH(Result, result);

    SmallMovie small;
    QVERIFY(small.written);
    small.movie.device.buffer().replace(qint64(QuickTimeFile::movieDataHeaderOffset), 16, header);
    QCOMPARE(QuickTimeMovieVerifier::checkCommitted(&small.movie.device), result);
}

QTEST_MAIN(MovieVerifierTest)
#include "tst_movieverifier.moc"
