// Writing a movie atom whose tables cover a full frame map (2,736,000
// entries), against writing the same number of bytes sequentially.
//
//   build/bench/bench_moviewrite [--benchmark_repetitions=3]
//
// The movie write should cost little more than the plain write: a few passes
// over the 5,472,000-byte frame map and one sequential write of the atom.

#include "quicktimechunkoffset64atom.h"
#include "quicktimefile.h"
#include "quicktimemovieatom.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimeuserdataatom.h"
#include "quicktimevelloranatom.h"

#include <QIODevice>
#include <QTemporaryFile>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// A device that accepts and forgets everything: the cost without a disk.
class NullDevice : public QIODevice
{
public:
    NullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override { return length; }
};

// A full frame map: one timecode sample, then three video frames to each
// audio chunk, and a movie tree with a video track's tables and the tables
// of two sound tracks, plus the vendor atom's copy of the map.
class FullMovie
{
public:
    explicit FullMovie(QIODevice* device)
        : frameMap(QuickTimeFile::frameMapSize)
        , file(device, frameMap.data())
    {
        for (quint32 i = 0; i < QuickTimeFile::frameMapCapacity; ++i) {
            const quint16 entry = i == 0 ? 0x8001 : i % 4 == 0 ? quint16(0x0000 | 12) : quint16(0x4000 | (400 + i % 97));
            qToLittleEndian(entry, frameMap.data() + 2 * i);
            if (i == 0)
                ++file.timecodeSampleCount;
            else if (i % 4 == 0)
                ++file.audioChunkCount;
            else
                ++file.videoFrameCount;
        }
        file.audioBytesPerSample = 3;
        file.audioSampleRate = 48000;

        auto* movie = file.root.addChild(new QuickTimeMovieAtom(&file));
        movie->offset = 0;
        movie->addChild(new QuickTimeUserDataAtom(&file))->addChild(new QuickTimeVelloranAtom(&file));
        auto* video = movie->addChild(new QuickTimeSampleTableAtom(&file));
        video->addChild(new QuickTimeSampleSizeAtom(&file, QuickTimeFile::VideoFrame, file.videoFrameCount, 0));
        video->addChild(new QuickTimeChunkOffset64Atom(&file, QuickTimeFile::VideoFrame, file.videoFrameCount, 0, 3, 0, 0));
        for (quint32 channel = 0; channel < 2; ++channel) {
            auto* sound = movie->addChild(new QuickTimeSampleTableAtom(&file));
            sound->addChild(new QuickTimeSampleDescriptionAtom(&file))->addDescription(new QuickTimeSoundSampleDescription(&file, 0, 48000));
            sound->addChild(new QuickTimeSampleSizeAtom(&file, QuickTimeFile::AudioChunk, file.audioChunkCount * 3072, 3));
            sound->addChild(new QuickTimeChunkOffset64Atom(&file, QuickTimeFile::AudioChunk, file.audioChunkCount, channel * 9216, 1, 0, 0));
        }
    }

    quint64 bytes() const { return file.root.size; }

    std::vector<quint8> frameMap;
    QuickTimeFile file;
};

void movieAtom(benchmark::State& state, QIODevice* device)
{
    FullMovie movie(device);
    for (auto _ : state) {
        device->seek(0);
        if (!movie.file.writeMovie())
            state.SkipWithError("writeMovie failed");
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(movie.bytes()));
    state.counters["atom_bytes"] = double(movie.bytes());
}

void plainWrite(benchmark::State& state, QIODevice* device)
{
    NullDevice sizing;
    const quint64 total = FullMovie(&sizing).bytes();
    const QByteArray block(131072, '\x5a');
    for (auto _ : state) {
        device->seek(0);
        for (quint64 done = 0; done < total; done += quint64(block.size()))
            device->write(block.constData(), qint64(qMin<quint64>(quint64(block.size()), total - done)));
    }
    state.SetBytesProcessed(qint64(state.iterations()) * qint64(total));
}

void BM_MovieAtomToFile(benchmark::State& state)
{
    QTemporaryFile target;
    target.open();
    movieAtom(state, &target);
}

void BM_PlainWriteToFile(benchmark::State& state)
{
    QTemporaryFile target;
    target.open();
    plainWrite(state, &target);
}

void BM_MovieAtomToNowhere(benchmark::State& state)
{
    NullDevice target;
    movieAtom(state, &target);
}

void BM_PlainWriteToNowhere(benchmark::State& state)
{
    NullDevice target;
    plainWrite(state, &target);
}

} // namespace

BENCHMARK(BM_MovieAtomToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovieAtomToNowhere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteToNowhere)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
