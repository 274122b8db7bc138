#include "fuzzentries.h"

#include "accessrecordingbuffer.h"
#include "audiofile.h"
#include "messagecatcher.h"
#include "veskaudiorepair.h"

#include <QtEndian>

namespace {

using Range = AccessRecordingBuffer::Range;

constexpr int sizeFieldLength = 4;
constexpr qint64 riffSizeOffset = 4;
// "RIFF", its size, "WAVE", then at least the data chunk's own header.
constexpr qint64 smallestDataStart = 12 + 8;

QString checkRefused(int result, AudioFile& audio, const AccessRecordingBuffer& file, const QByteArray& input)
{
    if (!file.writes.isEmpty() || file.data() != input)
        return QStringLiteral("parse gave %1 and wrote to the file").arg(result);
    // Even when asked, nothing is written behind a failed parse.
    bool wrote = true;
    const int repaired = audio.repairSizes(&wrote);
    if (repaired == AudioFile::Success || wrote || !file.writes.isEmpty() || file.data() != input)
        return QStringLiteral("repairSizes after a failed parse gave %1 and wrote %2").arg(repaired).arg(wrote);
    return {};
}

// What a second repair of the repaired file must do: find the same data
// chunk and leave every byte as it is (a take without samples keeps a data
// size of 0, which is written again, unchanged).
QString checkSecondRepair(const QByteArray& repaired, quint32 dataStart)
{
    AccessRecordingBuffer file(repaired);
    AudioFile audio(&file);
    const int parsed = audio.parse();
    if (parsed != AudioFile::Success || audio.dataStart != dataStart)
        return QStringLiteral("the repaired file parses as %1 with data at %2, not at %3")
            .arg(parsed).arg(audio.dataStart).arg(dataStart);
    const int result = audio.repairSizes();
    if (result != AudioFile::Success || file.data() != repaired)
        return QStringLiteral("a second repair gave %1 and changed the file").arg(result);
    return {};
}

QString checkWalk(const QByteArray& input, const MessageCatcher&)
{
    AccessRecordingBuffer file(input);
    AudioFile audio(&file);
    const qint64 fileSize = input.size();

    const int parsed = audio.parse();
    if (parsed != AudioFile::Success)
        return checkRefused(parsed, audio, file, input);
    if (!file.writes.isEmpty())
        return QStringLiteral("parse wrote to the file");

    const qint64 dataStart = audio.dataStart;
    if (dataStart < smallestDataStart || dataStart > fileSize)
        return QStringLiteral("data starts at %1 in a file of %2 bytes").arg(dataStart).arg(fileSize);
    if (file.readExtent() > dataStart)
        return QStringLiteral("parse read sample bytes up to %1, data starts at %2").arg(file.readExtent()).arg(dataStart);
    // The take's result gives every parsed take a length.
    if (VeskAudioRepair::recordedFormat(audio).durationText().isEmpty())
        return QStringLiteral("a parsed take has no length");

    const qint64 dataSizeOffset = dataStart - sizeFieldLength;
    const bool open = qFromLittleEndian<quint32>(input.constData() + dataSizeOffset) == 0;
    bool wrote = !open;
    const int repaired = audio.repairSizes(&wrote);
    if (repaired != AudioFile::Success)
        return QStringLiteral("repairSizes gave %1 after a successful parse").arg(repaired);
    if (wrote != open)
        return QStringLiteral("repairSizes wrote %1 for a data size field that is %2")
            .arg(wrote).arg(open ? "0" : "set");

    // Exactly the two size fields, with the file's own sizes, or nothing.
    QByteArray expected = input;
    QList<Range> expectedWrites;
    if (open) {
        qToLittleEndian<quint32>(quint32(fileSize - dataStart), expected.data() + dataSizeOffset);
        qToLittleEndian<quint32>(quint32(fileSize - 8), expected.data() + riffSizeOffset);
        // The data size, what marks a take unfinished, last.
        expectedWrites = {{riffSizeOffset, sizeFieldLength}, {dataSizeOffset, sizeFieldLength}};
    }
    if (file.writes != expectedWrites || file.data() != expected)
        return QStringLiteral("repairSizes changed bytes other than the two sizes, or wrote wrong ones");
    return open ? checkSecondRepair(file.data(), audio.dataStart) : QString();
}

} // namespace

QString fuzzWavChunkWalk(const QByteArray& input)
{
    return MessageCatcher::brokenInvariant(checkWalk, input);
}
