// Repairing an Orla recording whose frame map is full (2,736,000 entries:
// a timecode sample, then three video frames to each audio chunk of eight
// channels), against the floor: reading the 5,472,000-byte map once plus
// one sequential write, synced, of as many bytes as the repair writes.
//
//   build/bench/bench_orlarepair [--benchmark_repetitions=3]
//
// The recording is a sparse file: its media is a hole the repair never reads.
// Counters: atom_bytes (what the repair writes), peak_rss_mb (the process's
// peak while repairing) and rss_before_mb (its size before the first repair).

#include "benchsupport.h"
#include "recordinglayout.h"
#include "orlafamily.h"
#include "scan/finalize.h"
#include "videorepair.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr quint16 timecodeEntry = 0x8001;
constexpr quint16 videoEntry(int blocks) { return quint16(0x4000 | blocks); }
constexpr quint16 audioEntry(int blocks) { return quint16(blocks); }

FullRecording& recording()
{
    static FullRecording full = [] {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
        take.audioSamplesPerChunk = 512;
        take.audioChannelCount = 8;
        take.audioBytesPerSample = 3; // 8 x 3 x 512 bytes: 24 blocks a chunk
        QList<quint16> map;
        map.reserve(RecordingLayout::frameMapEntries);
        map.append(timecodeEntry);
        for (int i = 1; i < RecordingLayout::frameMapEntries; ++i)
            map.append(i % 4 == 0 ? audioEntry(24) : videoEntry(300 + i % 97));
        return FullRecording(take, map, QStringLiteral("A001C001.vlv"));
    }();
    return full;
}

// What the last repair wrote: the movie atom, the closing block and the header.
qint64 repairBytes = 0;

void BM_RepairFullMap(benchmark::State& state)
{
    FullRecording& full = recording();
    if (!full.ok) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    const double before = statusMegabytes("VmRSS:");
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = reopenMovieDataHeader(full.path);
        state.ResumeTiming();
        QFile file(full.path);
        Finalize scanner;
        if (!ready || !file.open(QIODevice::ReadWrite)
            || VideoRepair::run(OrlaFamily::instance(), &file, reinterpret_cast<quint8*>(scanner.indexBuffer),
                   full.path.toUtf8()) != VideoRepair::Outcome::Repaired) {
            state.SkipWithError("the repair failed");
            return;
        }
        repairBytes = file.size() - full.mediaEnd + 16;
    }
    state.counters["atom_bytes"] = double(repairBytes);
    state.counters["rss_before_mb"] = before;
    state.counters["peak_rss_mb"] = statusMegabytes("VmHWM:");
}

void BM_Floor(benchmark::State& state)
{
    FullRecording& full = recording();
    if (!full.ok || repairBytes == 0) {
        state.SkipWithError("run after BM_RepairFullMap");
        return;
    }
    const QByteArray bytes(repairBytes, '\x5a');
    for (auto _ : state) {
        if (!readWriteSync(full.path, RecordingLayout::orlaFrameMapOffset, RecordingLayout::frameMapBytes, full.mediaEnd, bytes)) {
            state.SkipWithError("the plain read and write failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_RepairFullMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
