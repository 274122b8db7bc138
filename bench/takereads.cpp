// What a repair reads and writes for one take, from the process's own I/O
// counters (/proc/self/io: rchar and wchar, every byte through read and
// write calls, page cache or not), and how long a card of such takes takes:
//
// - BM_OrdinaryTake: a two-minute newer-family ProRes take, 3,000 frames of
//   900 KB and a sound chunk of two channels after every three.
// - BM_LaggingTake: the same whose map stops 40 items short; the frames
//   behind it carry their ProRes headers, so the search finds them.
// - BM_FullMap: a map of 2,736,000 entries.
// - BM_Card: a "Scan and finalize" run over a card of 600 ordinary takes.
//
//   [TMPDIR=/dev/shm] build/bench/bench_takereads [--benchmark_repetitions=3]
//
// TMPDIR chooses the file system the takes lie on: a disk's, whose page
// cache holds what was read (the default /tmp), or memory.
//
// Every take is a sparse file: only its head's settings, map entries and
// movie data header, and the frame headers of a lagging take, are written;
// the rest is a hole. Counters: read_bytes, written_bytes (one repair).

#include "benchsupport.h"
#include "orlafamily.h"
#include "recordinghead.h"
#include "recordinglayout.h"
#include "scan/finalize.h"
#include "videorepair.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

using namespace RecordingLayout;

constexpr int ordinaryFrames = 3000;
constexpr qint64 frameBlocks = 1758;
constexpr qint64 chunkBlocks = 68; // 2 channels x 3 bytes x 5,760 samples
constexpr int laggingItems = 40;
constexpr int cardTakes = 600;

TakeDescription ordinaryTake()
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.audioSamplesPerChunk = 5760;
    take.setAudio(2, 3, 0);
    return take;
}

QList<quint16> ordinaryMap()
{
    QList<quint16> map{ RecordingHead::frameMapEntry(ItemKind::TimecodeSample, 1) };
    for (int frame = 0; frame < ordinaryFrames; ++frame) {
        map.append(RecordingHead::frameMapEntry(ItemKind::VideoFrame, frameBlocks));
        if (frame % 3 == 2)
            map.append(RecordingHead::frameMapEntry(ItemKind::AudioChunk, chunkBlocks));
    }
    return map;
}

qint64 mediaEndOf(const QList<quint16>& map)
{
    qint64 end = mediaOffset;
    for (const quint16 entry : map)
        end += (entry & 0x3FFF) * blockSize;
    return end;
}

// A take of `map` whose map lists only its first `listed` entries, written
// sparse: the head's bytes up to the last entry and its movie data header,
// the frame headers of the unlisted frames.
class SparseTake
{
public:
    SparseTake(const QString& path, const QList<quint16>& map, qsizetype listed)
        : path(path)
        , mediaEnd(mediaEndOf(map))
    {
        const TakeDescription take = ordinaryTake();
        const QByteArray head = RecordingHead::head(take, RecordingHead::settingsBlock(take, 0), map.first(listed));
        const qint64 headBytes = RecordingHead::frameMapOffset(take.family) + 2 * (listed + 1);
        QFile file(path);
        ok = file.open(QIODevice::WriteOnly) && file.write(head.constData(), headBytes) == headBytes
            && file.seek(movieDataHeaderOffset) && file.write(head.constData() + movieDataHeaderOffset, 16) == 16;
        QByteArray header(20, '\0');
        header.replace(4, 4, "icpf");
        qToBigEndian<quint16>(148, header.data() + 8);
        qToBigEndian<quint16>(take.width, header.data() + 16);
        qToBigEndian<quint16>(take.height, header.data() + 18);
        qint64 at = mediaOffset;
        for (qsizetype i = 0; ok && i < map.size(); ++i) {
            const qint64 bytes = (map.at(i) & 0x3FFF) * blockSize;
            if (i >= listed && (map.at(i) >> 14) == 1) {
                qToBigEndian<quint32>(quint32(bytes - 100), header.data());
                ok = file.seek(at) && file.write(header) == header.size();
            }
            at += bytes;
        }
        ok = ok && file.resize(mediaEnd);
    }

    // As the recorder left it: no movie behind the media, the header open,
    // under its temporary name.
    bool restore() const
    {
        QString finished = path;
        finished.replace(".vlv", ".mov");
        return (!QFile::exists(finished) || QFile::rename(finished, path)) && QFile::resize(path, mediaEnd)
            && reopenMovieDataHeader(path);
    }

    QString path;
    qint64 mediaEnd;
    bool ok = false;
};

struct IoCounters
{
    qint64 read = 0;
    qint64 written = 0;
};

IoCounters ioCounters()
{
    QFile io(QStringLiteral("/proc/self/io"));
    IoCounters counters;
    if (!io.open(QIODevice::ReadOnly | QIODevice::Text))
        return counters;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar: "))
            counters.read = line.mid(7).toLongLong();
        else if (line.startsWith("wchar: "))
            counters.written = line.mid(7).toLongLong();
    }
    return counters;
}

void repairOne(benchmark::State& state, const SparseTake& take)
{
    if (!take.ok) {
        state.SkipWithError("cannot write the take");
        return;
    }
    Finalize scanner;
    IoCounters used;
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = take.restore();
        state.ResumeTiming();
        const IoCounters before = ioCounters();
        QFile file(take.path);
        if (!ready || !file.open(QIODevice::ReadWrite)
            || VideoRepair::run(OrlaFamily::instance(), &file, reinterpret_cast<quint8*>(scanner.indexBuffer),
                   take.path.toUtf8()) != VideoRepair::Outcome::Repaired) {
            state.SkipWithError("the repair failed");
            return;
        }
        file.close();
        const IoCounters after = ioCounters();
        used = { after.read - before.read, after.written - before.written };
    }
    state.counters["read_bytes"] = double(used.read);
    state.counters["written_bytes"] = double(used.written);
}

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_OrdinaryTake(benchmark::State& state)
{
    static const SparseTake take(folder().filePath("A001C001.vlv"), ordinaryMap(), ordinaryMap().size());
    repairOne(state, take);
}

void BM_LaggingTake(benchmark::State& state)
{
    static const SparseTake take(folder().filePath("A001C002.vlv"), ordinaryMap(), ordinaryMap().size() - laggingItems);
    repairOne(state, take);
}

void BM_FullMap(benchmark::State& state)
{
    static const SparseTake take(folder().filePath("A001C003.vlv"), [] {
        QList<quint16> map{ RecordingHead::frameMapEntry(ItemKind::TimecodeSample, 1) };
        for (int i = 1; i < frameMapEntries; ++i)
            map.append(RecordingHead::frameMapEntry(i % 4 == 0 ? ItemKind::AudioChunk : ItemKind::VideoFrame,
                i % 4 == 0 ? chunkBlocks : 300 + i % 97));
        return map;
    }(), frameMapEntries);
    repairOne(state, take);
}

void BM_Card(benchmark::State& state)
{
    static QTemporaryDir card;
    static const QList<SparseTake> takes = [] {
        QList<SparseTake> all;
        const QList<quint16> map = ordinaryMap();
        QDir().mkpath(card.filePath("CLIPS"));
        for (int i = 0; i < cardTakes; ++i)
            all.append(SparseTake(card.filePath(QStringLiteral("CLIPS/A001C%1.vlv").arg(i, 3, 10, QChar('0'))), map, map.size()));
        return all;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        bool ready = true;
        for (const SparseTake& take : takes)
            ready = ready && take.ok && take.restore();
        state.ResumeTiming();
        Finalize scanner;
        scanner.start({ card.path() });
        if (!ready || scanner.finalizedCount != cardTakes) {
            state.SkipWithError("the run did not finalize every take");
            return;
        }
    }
    state.counters["takes"] = cardTakes;
}

} // namespace

BENCHMARK(BM_OrdinaryTake)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaggingTake)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Card)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
