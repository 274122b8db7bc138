#include "crashtake.h"

#include "consolerun.h"
#include "filehash.h"
#include "playercheck.h"
#include "recordedplayback.h"
#include "testcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

constexpr qint64 movieDataHeaderOffset = 5472240;


} // namespace

CrashTake CrashTake::video(const TakeDescription& take)
{
    CrashTake crash;
    crash.takeName = QStringLiteral("A001.vlv");
    crash.repairedName = QStringLiteral("A001.mov");
    crash.failedName = QStringLiteral("A001.nrv");
    crash.familyTag = take.family == RecorderFamily::Orla ? QStringLiteral("(Orla)") : QStringLiteral("(Vesk)");
    crash.takeDescription = take;

    QTemporaryDir dir;
    crash.writtenTake = RecordingWriter::write(take, dir.filePath(crash.takeName));
    if (!crash.writtenTake.ok) {
        crash.error = crash.writtenTake.error;
        return crash;
    }
    crash.pristine = fileBytes(dir.filePath(crash.takeName));
    const WrittenTake& written = crash.writtenTake;
    crash.keptRanges = { { 0, movieDataHeaderOffset }, { written.mediaStart, written.mediaEnd - written.mediaStart } };
    if (!crash.repairOnce())
        return crash;

    // The media data atom ends where the movie starts; the older family's
    // timecode block lies at its end, inside it.
    const quint64 movieDataSize = qFromBigEndian<quint64>(crash.repaired.constData() + movieDataHeaderOffset + 8);
    const qint64 movieStart = movieDataHeaderOffset + qint64(movieDataSize);
    crash.repairStart = take.family == RecorderFamily::Orla ? movieStart : movieStart - 512;
    crash.movieBytes = qFromBigEndian<quint32>(crash.repaired.constData() + movieStart);
    return crash;
}

CrashTake CrashTake::wav(const WavDescription& description)
{
    CrashTake crash;
    crash.isVideo = false;
    crash.takeName = QStringLiteral("S001.vla");
    crash.repairedName = QStringLiteral("S001.wav");
    crash.failedName = QStringLiteral("S001.nra");
    crash.familyTag = QStringLiteral("(Vesk)");
    crash.bytesPerSample = description.bitsPerSample / 8;

    QTemporaryDir dir;
    crash.writtenWav = WavWriter::write(description, dir.filePath(crash.takeName));
    if (!crash.writtenWav.ok) {
        crash.error = crash.writtenWav.error;
        return crash;
    }
    crash.pristine = fileBytes(dir.filePath(crash.takeName));
    const WrittenWav& written = crash.writtenWav;
    crash.dataSizeOffset = written.dataSizeOffset;
    crash.keptRanges = { { 0, 4 }, { 8, written.dataSizeOffset - 8 }, { written.dataStart, written.fileSize - written.dataStart } };
    crash.repairOnce();
    return crash;
}

bool CrashTake::repairOnce()
{
    QTemporaryDir card;
    const QString root = QFileInfo(card.path()).canonicalFilePath();
    if (!lay(root)) {
        error = QStringLiteral("cannot lay the take");
        return false;
    }
    const ConsoleRun run = ConsoleRunner::finalize(root);
    if (run.exitCode != 0 || standing(root) != QStringList{ repairedName }) {
        error = QStringLiteral("the repair without faults failed: ") + run.lines.join(QLatin1Char('|'));
        return false;
    }
    repaired = fileBytes(root + QLatin1Char('/') + repairedName);
    ok = keepsRecording(root + QLatin1Char('/') + repairedName);
    if (!ok)
        error = QStringLiteral("the repair without faults changed the recording");
    return ok;
}

bool CrashTake::lay(const QString& root) const
{
    QFile file(root + QLatin1Char('/') + takeName);
    return file.open(QIODevice::WriteOnly) && file.write(pristine) == pristine.size();
}

QStringList CrashTake::paths(const QString& root) const
{
    return { root + QLatin1Char('/') + takeName, root + QLatin1Char('/') + repairedName,
        root + QLatin1Char('/') + failedName };
}

QStringList CrashTake::standing(const QString& root)
{
    return QDir(root).entryList(QDir::Files, QDir::Name);
}

bool CrashTake::keepsRecording(const QString& path) const
{
    for (const auto& range : keptRanges) {
        if (FileHash::sha256(path, range.first, range.second)
            != FileHash::sha256(pristine.mid(range.first, range.second)))
            return false;
    }
    return true;
}

QString CrashTake::playbackMismatch(const QString& path) const
{
    QString error;
    if (!isVideo) {
        const QByteArray samples = PlayerCheck::audioSamples(path, 0, int(bytesPerSample), &error);
        if (!error.isEmpty())
            return error;
        return samples == writtenWav.expectedSamples ? QString() : QStringLiteral("other samples");
    }

    return RecordedPlayback::mismatch(path, takeDescription, writtenTake);
}
