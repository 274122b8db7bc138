// Repairing Vesk recordings, each against its floor:
//
// - BM_RepairFullMap: one recording whose frame map is full but for the slot
//   of the appended timecode sample (2,735,999 entries: three video frames
//   to each audio chunk of eight channels). Floor (BM_FullMapFloor): reading
//   the 5,472,000-byte map once plus one sequential write, synced, of as
//   many bytes as the repair writes.
// - BM_CardRun: a "Scan and finalize" run over a card of 40 video and 40
//   sound takes. Floor (BM_CardFloor): for every take what any repair must
//   do at least: open it, read its frame map (sound takes: their first
//   kilobyte), write as many bytes as the repair wrote behind its media
//   (sound: the two sizes), sync, close and rename it.
//
//   build/bench/bench_veskrepair [--benchmark_repetitions=3]
//
// The full recording is a sparse file: its media is a hole the repair never
// reads. Counters: repair_bytes (what one repair writes), peak_rss_mb.

#include "benchcard.h"
#include "benchsupport.h"
#include "recordinglayout.h"
#include "recordingwriter.h"
#include "scan/finalize.h"
#include "veskfamily.h"
#include "videorepair.h"
#include "wavwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

constexpr quint16 videoEntry(int blocks) { return quint16(0x4000 | blocks); }
constexpr quint16 audioEntry(int blocks) { return quint16(blocks); }
constexpr int cardVideoTakes = 40;
constexpr int cardSoundTakes = 40;

// A nearly full frame map: all but the slot of the appended timecode sample.
FullRecording& fullRecording()
{
    static FullRecording full = [] {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
        take.audioChannelCount = 8;
        take.audioBytesPerSample = 3; // 8 x 3 x 3,072 bytes: 144 blocks a chunk
        QList<quint16> map;
        map.reserve(RecordingLayout::frameMapEntries - 1);
        for (int i = 0; i < RecordingLayout::frameMapEntries - 1; ++i)
            map.append(i % 4 == 3 ? audioEntry(144) : videoEntry(300 + i % 97));
        return FullRecording(take, map, QStringLiteral("B001C001.vlv"));
    }();
    return full;
}

qint64 fullRepairBytes = 0;

void BM_RepairFullMap(benchmark::State& state)
{
    FullRecording& full = fullRecording();
    if (!full.ok) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    resetPeakMemory();
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = reopenMovieDataHeader(full.path);
        state.ResumeTiming();
        QFile file(full.path);
        Finalize scanner;
        if (!ready || !scanner.indexBuffer || !file.open(QIODevice::ReadWrite)
            || VideoRepair::run(VeskFamily::instance(), &file, reinterpret_cast<quint8*>(scanner.indexBuffer),
                   full.path.toUtf8()) != VideoRepair::Outcome::Repaired) {
            state.SkipWithError("the repair failed");
            return;
        }
        fullRepairBytes = file.size() - full.mediaEnd + 16;
    }
    state.counters["repair_bytes"] = double(fullRepairBytes);
    state.counters["peak_rss_mb"] = statusMegabytes("VmHWM:");
}

void BM_FullMapFloor(benchmark::State& state)
{
    FullRecording& full = fullRecording();
    if (!full.ok || fullRepairBytes == 0) {
        state.SkipWithError("run after BM_RepairFullMap");
        return;
    }
    const QByteArray bytes(fullRepairBytes, '\x5a');
    for (auto _ : state) {
        if (!readWriteSync(full.path, RecordingLayout::veskFrameMapOffset, RecordingLayout::frameMapBytes, full.mediaEnd, bytes)) {
            state.SkipWithError("the plain read and write failed");
            return;
        }
    }
}

BenchCard& card()
{
    static BenchCard takes(cardVideoTakes, cardSoundTakes);
    return takes;
}

void BM_CardRun(benchmark::State& state)
{
    BenchCard& takes = card();
    if (!takes.ok) {
        state.SkipWithError("cannot write the card");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = takes.restore();
        state.ResumeTiming();
        Finalize scanner;
        scanner.start({ takes.dir.path() });
        if (!ready || scanner.finalizedCount != cardVideoTakes + cardSoundTakes) {
            state.SkipWithError("the run did not finalize every take");
            return;
        }
    }
    for (BenchCard::Take& take : takes.takes) {
        if (take.video)
            take.repairBytes = QFileInfo(BenchCard::finishedName(take)).size() - take.mediaEnd + 16;
    }
}

void BM_CardFloor(benchmark::State& state)
{
    BenchCard& takes = card();
    if (!takes.ok || takes.takes.first().repairBytes == 0) {
        state.SkipWithError("run after BM_CardRun");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = takes.restore();
        state.ResumeTiming();
        bool done = ready;
        for (const BenchCard::Take& take : std::as_const(takes.takes)) {
            const QByteArray bytes(take.repairBytes, '\x5a');
            done = done
                && (take.video ? readWriteSync(take.path, RecordingLayout::veskFrameMapOffset, RecordingLayout::frameMapBytes, take.mediaEnd, bytes)
                               : readWriteSync(take.path, 0, 1024, 4, bytes))
                && QFile::rename(take.path, BenchCard::finishedName(take));
        }
        if (!done) {
            state.SkipWithError("the plain reads and writes failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_RepairFullMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullMapFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardFloor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
