#include "cli/takecheck.h"

#include "audiofile.h"
#include "moviecheck.h"
#include "movieplacement.h"
#include "orlafamily.h"
#include "quicktimeatom.h"
#include "quicktimefile.h"
#include "recordedformat.h"
#include "recoverysettings.h"
#include "takebounds.h"
#include "veskaudiorepair.h"
#include "veskfamily.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtEndian>

#include <memory>
#include <new>
#include <vector>

namespace {

void line(QTextStream& out, const char* name, const QString& value)
{
    out << name << ": " << value << '\n';
}

QString count(quint64 number, const char* one, const char* many)
{
    return QString::number(number) + QLatin1Char(' ') + QLatin1String(number == 1 ? one : many);
}

QString itemsText(const TakeItems::Kinds& kinds)
{
    return count(kinds.frames, "frame", "frames") + QStringLiteral(", ") + count(kinds.soundChunks, "sound chunk", "sound chunks")
        + QStringLiteral(", ") + count(kinds.timecodeSamples, "timecode sample", "timecode samples");
}

void printFormat(const RecordedFormat& format, QTextStream& out)
{
    if (!format.codec.isEmpty()) {
        line(out, "Codec", format.codecName.isEmpty() ? format.codec : format.codecName + " (" + format.codec + ')');
        line(out, "Picture", QStringLiteral("%1x%2%3").arg(format.width).arg(format.height)
            .arg(format.interlaced ? QStringLiteral(" interlaced") : QString()));
        line(out, "Rate", format.rateText().isEmpty() ? QStringLiteral("unknown") : format.rateText() + " frames/s");
        line(out, "Frames", QString::number(format.frames));
    }
    line(out, "Duration", QString::number(format.durationSeconds, 'f', 3) + " s");
    if (format.soundTracks == 0)
        line(out, "Sound", QStringLiteral("none"));
    else
        line(out, "Sound", count(format.soundTracks, "track", "tracks") + ", " + count(format.channels, "channel", "channels")
            + QStringLiteral(", %1 Hz, %2 bits").arg(format.sampleRate).arg(format.bitsPerSample));
    line(out, "Start timecode", format.startTimecode.isEmpty() ? QStringLiteral("none") : format.startTimecode);
    if (!format.reel.isEmpty())
        line(out, "Reel", format.reel);
}

bool endsWith(const QString& name, const char* extension)
{
    return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

// A take an earlier repair could not save keeps its failure name; no run repairs it again.
const char* givenUp = "unrecoverable (a repair could not save it)";

// A WAV take: the chunks walked as a repair walks them.
void describeSound(QIODevice& device, const QString& name, QTextStream& out)
{
    AudioFile wav(&device);
    const int result = wav.parse();
    // Only the older family records sound takes, with a bext chunk.
    const bool recorder = endsWith(name, ".vla") || endsWith(name, ".nra") || wav.broadcastWave;
    line(out, "Family", recorder ? QStringLiteral("Vesk") : QStringLiteral("WAV"));
    if (result != AudioFile::Success) {
        line(out, "State", QStringLiteral("unrecoverable (not a WAV file whose sizes can be repaired)"));
        return;
    }
    const quint64 samples = quint64(device.size()) - wav.dataStart;
    const bool unfinished = wav.dataSize == 0 && (samples != 0 || endsWith(name, ".vla"));
    line(out, "State", endsWith(name, ".nra") ? QLatin1String(givenUp)
                       : unfinished            ? QLatin1String("unfinished")
                                               : QLatin1String("complete"));
    const RecordedFormat format = VeskAudioRepair::recordedFormat(wav);
    const quint64 bytes = wav.dataSize == 0 ? samples : wav.dataSize;
    printFormat(format, out);
    if (unfinished && !endsWith(name, ".nra"))
        line(out, "A repair would", QStringLiteral("write the RIFF and data sizes for %1 bytes of samples").arg(bytes));
}

void ignoreMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

// An unfinished video take: its settings read and its movie placed as a
// repair places it (the frame map counted, the items after it searched),
// without a write; the placement's notes are left to the repair's report.
void describeUnfinished(QIODevice& device, const TakeFamily& family, QTextStream& out)
{
    const auto unrecoverable = [&out](const char* why) { line(out, "State", QStringLiteral("unrecoverable (%1)").arg(QLatin1String(why))); };
    static std::vector<quint8> frameMapBuffer;
    if (frameMapBuffer.empty())
        frameMapBuffer.resize(FrameMap::byteSize);
    QuickTimeFile file(&device, family.profile(), frameMapBuffer.data());
    if (!file.readRecoverySettings())
        return unrecoverable("couldn't get any recovery settings");
    applyRecoverySettings(file);
    if (const char* breach = TakeBounds::settingsBreach(file))
        return unrecoverable(breach);
    const QtMessageHandler previous = qInstallMessageHandler(ignoreMessage);
    const bool placed = MoviePlacement::place(file, family.repairForms(file), family.minimumItems(), QByteArray());
    // The older family's repair appends its timecode sample.
    const bool led = placed && family.placeLead(file, QByteArray());
    qInstallMessageHandler(previous);
    if (!file.items.counted)
        return unrecoverable("no frame map");
    if (!led)
        return unrecoverable(file.refusal ? file.refusal : "too few items for a movie");

    line(out, "State", QStringLiteral("unfinished"));
    printFormat(RecordedFormat::fromSettings(file), out);
    const TakeItems& items = file.items;
    line(out, "Listed by the map", itemsText(items.listed));
    line(out, "Found after the map", itemsText(items.found));
    line(out, "Torn", count(items.torn, "listed item never reached the card whole", "listed items never reached the card whole"));
}

// A video take or a movie from anywhere.
void describeMovie(QIODevice& device, const QString& name, QTextStream& out)
{
    // A recorder's take keeps its movie data header right before the media;
    // the first atom's size tells the families apart.
    char head[4] = {};
    const bool headRead = device.seek(0) && device.read(head, sizeof head) == sizeof head;
    const TakeFamily& family = qFromBigEndian<quint32>(head) < 0x80 ? static_cast<const TakeFamily&>(OrlaFamily::instance())
                                                                     : VeskFamily::instance();
    QuickTimeFile probe(&device, family.profile(), nullptr);
    const bool open = headRead && probe.hasOpenMovieDataAtom();
    bool recorder = open;
    if (!open && quint64(device.size()) > QuickTimeFile::mediaDataOffset && device.seek(QuickTimeFile::movieDataHeaderOffset)) {
        const QByteArray header = device.read(8);
        recorder = header == QByteArray::fromHex("000000016d646174");
    }
    const bool orla = &family == &OrlaFamily::instance();
    line(out, "Family", !recorder ? QStringLiteral("QuickTime movie") : orla ? QStringLiteral("Orla") : QStringLiteral("Vesk"));
    const bool failureName = endsWith(name, ".nrv");
    if (open && !failureName)
        return describeUnfinished(device, family, out);

    const std::unique_ptr<QuickTimeAtom> movie = MovieCheck::readMovie(&device);
    if (failureName)
        line(out, "State", QLatin1String(givenUp));
    else if (!movie)
        line(out, "State", QStringLiteral("unrecoverable (no movie atom, nor a recorder's open media data)"));
    else
        line(out, "State", recorder ? QStringLiteral("repaired") : QStringLiteral("complete"));
    if (movie)
        printFormat(RecordedFormat::fromMovie(*movie, &device), out);
}

} // namespace

TakeCheck::Result TakeCheck::print(const QString& path, QTextStream& out)
{
    // Only a plain file: reading a pipe or a device would wait for ever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return Result::Unreadable;
    return print(file, path, out);
}

TakeCheck::Result TakeCheck::print(QIODevice& device, const QString& name, QTextStream& out)
{
    if (!device.isReadable() || device.isSequential())
        return Result::Unreadable;
    line(out, "File", name);
    if (endsWith(name, ".vla") || endsWith(name, ".wav") || endsWith(name, ".nra"))
        describeSound(device, name, out);
    else
        describeMovie(device, name, out);
    return Result::Described;
}
