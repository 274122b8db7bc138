#include "veskaudiorepair.h"

#include "audiofile.h"
#include "filesync.h"
#include "storedbytes.h"
#include "repairreport.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// After a failed write: whether the data size reads 0 (the take is still
// unfinished) or the size the repair meant to write. A field written only in
// part reads neither, and the take must not be taken for finished later.
bool dataSizeIsOpenOrRepaired(const AudioFile& audio)
{
    const QByteArray field = storedBytes(audio.device, qint64(audio.dataStart) - 4, 4);
    if (field.size() != 4)
        return false;
    const quint32 size = qFromLittleEndian<quint32>(field.constData());
    return size == 0 || quint64(size) == quint64(audio.device->size()) - audio.dataStart;
}

} // namespace

RecordedFormat VeskAudioRepair::recordedFormat(const AudioFile& audio)
{
    const quint64 size = quint64(audio.device->size());
    const quint64 bytes = audio.dataSize != 0 ? audio.dataSize : size > audio.dataStart ? size - audio.dataStart : 0;
    return RecordedFormat::ofSound(audio.channelCount, audio.sampleRate, audio.bitsPerSample, bytes);
}

RecordedFormat VeskAudioRepair::recordedFormat(QIODevice* device)
{
    AudioFile audio(device);
    return audio.parse() == AudioFile::Success ? recordedFormat(audio) : RecordedFormat();
}

int VeskAudioRepair::run(QIODevice* device, bool* unfinished, QString* writeProblem, RecordedFormat* recorded)
{
    *unfinished = false;
    AudioFile audio(device);
    int result = audio.parse();
    if (result != AudioFile::Success)
        return result;
    if (recorded)
        *recorded = recordedFormat(audio);
    bool sizesWritten = false;
    result = audio.repairSizes(&sizesWritten);
    // Finished before (by the recorder, or by a run that ended before the
    // rename): its last size may still be in the cache only.
    if (result == AudioFile::Success && !sizesWritten) {
        if (syncToDevice(device))
            return result;
        result = AudioFile::IoFailure;
    } else if (result == AudioFile::Success || !sizesWritten) {
        return result;
    }
    RepairReport::writeFailure(device);
    *writeProblem = RepairReport::writeProblem(device);
    *unfinished = dataSizeIsOpenOrRepaired(audio);
    return result;
}
