#include "benchsupport.h"

#include "recordinghead.h"
#include "recordinglayout.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

FullRecording::FullRecording(const TakeDescription& take, const QList<quint16>& map, const QString& name)
{
    qint64 blocks = 0;
    for (const quint16 entry : map)
        blocks += entry & 0x3FFF;
    mediaEnd = RecordingLayout::mediaOffset + blocks * RecordingLayout::blockSize;
    path = dir.filePath(name);
    QFile file(path);
    const QByteArray head = RecordingHead::head(take, RecordingHead::settingsBlock(take, quint64(mediaEnd)), map);
    ok = file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.resize(mediaEnd);
}

bool reopenMovieDataHeader(const QString& path)
{
    static const char open[16] = { 0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 16 };
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(RecordingLayout::movieDataHeaderOffset)
        && file.write(open, sizeof open) == sizeof open;
}

bool readWriteSync(const QString& path, qint64 offset, qint64 length, qint64 writeAt, const QByteArray& bytes)
{
    std::vector<char> buffer(static_cast<size_t>(length));
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.read(buffer.data(), length) == length
        && file.seek(writeAt) && file.write(bytes) == bytes.size() && file.flush() && fsync(file.handle()) == 0;
}

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

namespace {
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
}

int runBenchmarks(int argc, char** argv)
{
    qInstallMessageHandler(quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
