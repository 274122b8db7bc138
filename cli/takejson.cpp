#include "cli/takejson.h"

#include "cli/jsonline.h"
#include "takeresult.h"

#include <QFileInfo>

namespace {

QString familyWord(TakeResult::Family family)
{
    switch (family) {
    case TakeResult::Family::Orla: return QStringLiteral("orla");
    case TakeResult::Family::Vesk: return QStringLiteral("vesk");
    case TakeResult::Family::Unknown: break;
    }
    return QString();
}

void addText(JsonLine& line, const char* key, const QString& text)
{
    if (text.isEmpty())
        line.addNull(key);
    else
        line.add(key, text);
}

void addCount(JsonLine& line, const char* key, bool known, qint64 count)
{
    if (known)
        line.add(key, count);
    else
        line.addNull(key);
}

void addRecorded(JsonLine& line, const RecordedFormat& format)
{
    const bool video = !format.codec.isEmpty();
    addText(line, "codec", format.codec);
    addText(line, "codecName", video ? format.codecName : QString());
    addCount(line, "width", video, format.width);
    addCount(line, "height", video, format.height);
    if (video)
        line.add("interlaced", format.interlaced);
    else
        line.addNull("interlaced");
    const QString rate = video ? format.rateText() : QString();
    if (rate.isEmpty())
        line.addNull("frameRate");
    else
        line.addNumberText("frameRate", rate);
    addCount(line, "timeScale", video && !rate.isEmpty(), format.timeScale);
    addCount(line, "frameDuration", video && !rate.isEmpty(), format.frameDuration);
    addCount(line, "frames", video && format.lengthKnown, qint64(format.frames));
    if (format.lengthKnown)
        line.addFixed("durationSeconds", format.durationSeconds, 3);
    else
        line.addNull("durationSeconds");
    // Nothing read at all says nothing of the sound either.
    const bool read = video || format.soundTracks != 0 || format.lengthKnown;
    const bool sound = format.soundTracks != 0;
    addCount(line, "soundTracks", read, format.soundTracks);
    addCount(line, "channels", sound, format.channels);
    addCount(line, "sampleRate", sound, format.sampleRate);
    addCount(line, "bitsPerSample", sound, format.bitsPerSample);
    addText(line, "startTimecode", format.startTimecode);
    addText(line, "reel", format.reel);
}

void addItems(JsonLine& line, const TakeItems& items)
{
    const bool counted = items.counted;
    addCount(line, "listedFrames", counted, items.listed.frames);
    addCount(line, "listedSoundChunks", counted, items.listed.soundChunks);
    addCount(line, "listedTimecodeSamples", counted, items.listed.timecodeSamples);
    addCount(line, "foundFrames", counted, items.found.frames);
    addCount(line, "foundSoundChunks", counted, items.found.soundChunks);
    addCount(line, "foundTimecodeSamples", counted, items.found.timecodeSamples);
    addCount(line, "tornItems", counted, items.torn);
    addCount(line, "keptFrames", counted, items.kept.frames);
    addCount(line, "keptSoundChunks", counted, items.kept.soundChunks);
    addCount(line, "keptTimecodeSamples", counted, items.kept.timecodeSamples);
}

} // namespace

namespace TakeJson {

QByteArray take(const TakeResult& result)
{
    const QFileInfo found(result.path);
    JsonLine line;
    line.add("type", QStringLiteral("take"));
    // The table's columns, in its words.
    line.add("name", found.fileName());
    line.add("folder", found.absolutePath());
    addText(line, "family", familyWord(result.family));
    line.add("format", result.recorded.summary());
    line.add("duration", result.recorded.durationText());
    line.add("recovered", result.recoveredText());
    line.add("status", result.statusWord());
    line.add("statusText", result.statusText());
    line.add("newName", result.finalPath == result.path ? QString() : QFileInfo(result.finalPath).fileName());
    // For scripts.
    line.add("path", result.path);
    line.add("finalPath", result.finalPath);
    line.add("reason", result.reason);
    addRecorded(line, result.recorded);
    addItems(line, result.items);
    return line.text();
}

QByteArray summary(const ScanRun::Outcome& outcome, bool scanOnly, int exitStatus)
{
    JsonLine line;
    line.add("type", QStringLiteral("summary"));
    line.add("mode", scanOnly ? QStringLiteral("scan") : QStringLiteral("finalize"));
    line.add("completed", outcome.completed);
    line.add("requiresFinalize", qint64(scanOnly ? outcome.finalizedCount : 0));
    line.add("finalized", qint64(scanOnly ? 0 : outcome.finalizedCount));
    line.add("unrecoverable", qint64(outcome.unrecoverableCount));
    line.add("notFinalized", qint64(outcome.leftUnfinishedCount));
    line.add("foldersSkipped", qint64(outcome.skippedFolderCount));
    line.add("leftByStop", qint64(outcome.leftCount));
    line.add("pathMissing", outcome.pathMissing);
    line.add("volumeReadOnly", outcome.volumeReadOnly);
    line.add("exitStatus", qint64(exitStatus));
    return line.text();
}

} // namespace TakeJson
