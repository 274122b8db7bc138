// Repairing an Orla recording whose frame map is full (2,736,000 entries:
// a timecode sample, then three video frames to each audio chunk of four
// channels), against the floor: reading the 5,472,000-byte map once plus
// one sequential write, synced, of as many bytes as the repair writes.
//
//   build/bench/bench_orlarepair [--benchmark_repetitions=3]
//
// The recording is a sparse file: its media is a hole the repair never reads.
// Counters: atom_bytes (what the repair writes), peak_rss_mb (the process's
// peak while repairing) and rss_before_mb (its size before the first repair).

#include "recordinghead.h"
#include "recordinglayout.h"
#include "recovery/orla/orlarepair.h"
#include "scan/finalize.h"
#include "takedescription.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr quint16 timecodeEntry = 0x8001;
constexpr quint16 videoEntry(int blocks) { return quint16(0x4000 | blocks); }
constexpr quint16 audioEntry(int blocks) { return quint16(blocks); }

// One full recording for the whole run.
class FullRecording
{
public:
    FullRecording()
    {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
        take.audioSamplesPerChunk = 1024;
        take.audioChannelCount = 4;
        take.audioBytesPerSample = 3; // 4 x 3 x 1,024 bytes: 24 blocks a chunk
        take.recordedEndMode = RecordedEndMode::Explicit;

        QList<quint16> map;
        map.reserve(RecordingLayout::frameMapEntries);
        qint64 blocks = 1;
        map.append(timecodeEntry);
        for (int i = 1; i < RecordingLayout::frameMapEntries; ++i) {
            const quint16 entry = i % 4 == 0 ? audioEntry(24) : videoEntry(300 + i % 97);
            map.append(entry);
            blocks += entry & 0x3FFF;
        }
        mediaEnd = RecordingLayout::mediaOffset + blocks * RecordingLayout::blockSize;
        take.recordedEnd = quint64(mediaEnd);

        path = dir.filePath(QStringLiteral("A001C001.vlv"));
        QFile file(path);
        const QByteArray head = RecordingHead::head(take, RecordingHead::settingsBlock(take, quint64(mediaEnd)), map);
        ok = file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.resize(mediaEnd);
    }

    bool reopen()
    {
        QFile file(path);
        static const char open[16] = { 0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 16 };
        return file.open(QIODevice::ReadWrite) && file.seek(RecordingLayout::movieDataHeaderOffset)
            && file.write(open, sizeof open) == sizeof open;
    }

    QTemporaryDir dir;
    QString path;
    qint64 mediaEnd = 0;
    bool ok = false;
};

FullRecording& recording()
{
    static FullRecording full;
    return full;
}

// What the last repair wrote: the movie atom, the closing block and the header.
qint64 repairBytes = 0;

double statusMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    }
    return 0;
}

void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

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
        const bool ready = full.reopen();
        state.ResumeTiming();
        QFile file(full.path);
        Finalize scanner;
        if (!ready || !file.open(QIODevice::ReadWrite)
            || OrlaRepair::run(scanner, &file, full.path.toLocal8Bit()) != OrlaRepair::Outcome::Repaired) {
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
    std::vector<char> map(RecordingLayout::frameMapBytes);
    const QByteArray bytes(repairBytes, '\x5a');
    for (auto _ : state) {
        QFile file(full.path);
        const bool done = file.open(QIODevice::ReadWrite) && file.seek(RecordingLayout::orlaFrameMapOffset)
            && file.read(map.data(), qint64(map.size())) == qint64(map.size()) && file.seek(full.mediaEnd)
            && file.write(bytes) == bytes.size() && file.flush() && fsync(file.handle()) == 0;
        if (!done) {
            state.SkipWithError("the plain read and write failed");
            return;
        }
    }
}

} // namespace

// Muted: the repair's report lines would drown the table.
static void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

BENCHMARK(BM_RepairFullMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qInstallMessageHandler(quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
