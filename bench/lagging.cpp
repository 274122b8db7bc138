// Repairing a newer-family take whose frame map was never written: 100,000
// ProRes frames with a sound chunk after every three, all of them found by
// their headers behind the head. What the search costs on top of a repair
// is the time it reads frame headers, a few dozen bytes per item.
//
//   build/bench/bench_lagging [--benchmark_repetitions=3]
//
// The recording is a sparse file: only the frame headers are written, the
// rest of its media is a hole the repair never reads.

#include "benchsupport.h"
#include "orlafamily.h"
#include "recordinglayout.h"
#include "scan/finalize.h"
#include "videorepair.h"

#include <QFile>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int frames = 100000;
constexpr qint64 frameBlocks = 300;
constexpr qint64 chunkBlocks = 24; // 2 channels x 3 bytes x 2,048 samples

struct LaggingRecording
{
    LaggingRecording()
        : full([] {
            TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
            take.width = 1920;
            take.height = 1080;
            take.audioSamplesPerChunk = 2048;
            take.setAudio(2, 3, 0);
            take.recordedEndMode = RecordedEndMode::Zero;
            return take;
        }(), {}, QStringLiteral("A001C001.vlv"))
    {
        QFile file(full.path);
        if (!full.ok || !file.open(QIODevice::ReadWrite))
            return;
        // The timecode sample, then frames and chunks; each frame a ProRes
        // header of its length and the take's picture size.
        QByteArray timecode(RecordingLayout::blockSize, '\0');
        qToBigEndian<quint32>(0, timecode.data());
        qint64 at = RecordingLayout::mediaOffset;
        bool written = file.seek(at) && file.write(timecode) == timecode.size();
        at += RecordingLayout::blockSize;
        QByteArray header(20, '\0');
        qToBigEndian<quint32>(quint32(frameBlocks * RecordingLayout::blockSize - 100), header.data());
        header.replace(4, 4, "icpf");
        qToBigEndian<quint16>(148, header.data() + 8);
        qToBigEndian<quint16>(1920, header.data() + 16);
        qToBigEndian<quint16>(1080, header.data() + 18);
        for (int i = 0; written && i < frames; ++i) {
            written = file.seek(at) && file.write(header) == header.size();
            at += frameBlocks * RecordingLayout::blockSize;
            if (i % 3 == 2)
                at += chunkBlocks * RecordingLayout::blockSize;
        }
        mediaEnd = at;
        // On the device before the first repair, whose sync would pay for it otherwise.
        ok = written && file.resize(mediaEnd) && file.flush() && fsync(file.handle()) == 0;
    }

    FullRecording full;
    qint64 mediaEnd = 0;
    bool ok = false;
};

LaggingRecording& recording()
{
    static LaggingRecording take;
    return take;
}

void BM_RepairMapNeverWritten(benchmark::State& state)
{
    LaggingRecording& take = recording();
    if (!take.ok) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        // As the recorder left it: no movie behind the media, the header open.
        const bool ready = QFile::resize(take.full.path, take.mediaEnd) && reopenMovieDataHeader(take.full.path);
        state.ResumeTiming();
        QFile file(take.full.path);
        Finalize scanner;
        if (!ready || !file.open(QIODevice::ReadWrite)
            || VideoRepair::run(OrlaFamily::instance(), &file, reinterpret_cast<quint8*>(scanner.indexBuffer),
                   take.full.path.toUtf8()) != VideoRepair::Outcome::Repaired) {
            state.SkipWithError("the repair failed");
            return;
        }
    }
    state.counters["frames"] = frames;
}

} // namespace

BENCHMARK(BM_RepairMapNeverWritten)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
