#include "benchcard.h"

#include "benchsupport.h"
#include "recordingwriter.h"
#include "wavwriter.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

BenchCard::BenchCard(int videoTakes, int soundTakes, int frameBytes)
{
    TakeDescription video = TakeDescription::forFamily(RecorderFamily::Vesk);
    video.setStandInFrames(24, frameBytes, 97);
    video.setAudio(2, 3, 8);
    QDir().mkpath(dir.filePath("CLIPS"));
    QDir().mkpath(dir.filePath("SOUND"));
    for (int i = 0; i < videoTakes && ok; ++i) {
        const WrittenTake written = RecordingWriter::write(video, dir.filePath(QStringLiteral("CLIPS/B001C%1.vlv").arg(i, 3, 10, QChar('0'))));
        ok = written.ok;
        takes.append({ written.path, true, written.mapEnd, {}, 0, 0 });
    }
    WavDescription sound;
    sound.samplesPerChannel = 48000;
    for (int i = 0; i < soundTakes && ok; ++i) {
        const WrittenWav written = WavWriter::write(sound, dir.filePath(QStringLiteral("SOUND/B001S%1.vla").arg(i, 3, 10, QChar('0'))));
        ok = written.ok;
        QByteArray riff(4, '\0');
        qToLittleEndian<quint32>(written.riffSizeField, riff.data());
        takes.append({ written.path, false, 0, riff, written.dataSizeOffset, 8 });
    }
}

QString BenchCard::finishedName(const Take& take)
{
    QString name = take.path;
    return take.video ? name.replace(".vlv", ".mov") : name.replace(".vla", ".wav");
}

bool BenchCard::reopenSizes(const Take& take)
{
    QFile file(take.path);
    return file.open(QIODevice::ReadWrite) && file.seek(4) && file.write(take.openSizes) == 4
        && file.seek(take.dataSizeOffset) && file.write(QByteArray(4, '\0')) == 4;
}

bool BenchCard::restore()
{
    for (const Take& take : std::as_const(takes)) {
        if (QFile::exists(finishedName(take)) && !QFile::rename(finishedName(take), take.path))
            return false;
        if (take.video ? !reopenMovieDataHeader(take.path) : !reopenSizes(take))
            return false;
    }
    return true;
}
