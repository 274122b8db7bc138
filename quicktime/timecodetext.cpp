#include "timecodetext.h"

namespace {

// Frames dropped per minute (except every tenth) in NTSC drop-frame counting.
int droppedPerMinute(int fps)
{
    return fps % 30 == 0 ? fps / 30 * 2 : 0;
}

// Frame number -> the frame number a non-drop display would show.
qint64 dropFrameDisplayNumber(qint64 frame, int fps)
{
    const int drop = droppedPerMinute(fps);
    if (drop == 0)
        return frame;
    const qint64 perTenMinutes = qint64(fps / 30) * 17982;
    const qint64 tens = frame / perTenMinutes;
    const qint64 rest = frame % perTenMinutes;
    const qint64 perMinute = qint64(fps) * 60 - drop;
    qint64 extra = 9 * drop * tens;
    if (rest > drop)
        extra += drop * ((rest - drop) / perMinute);
    return frame + extra;
}

} // namespace

int TimecodeText::framesPerSecond(quint32 timeScale, quint32 frameDuration)
{
    if (frameDuration == 0)
        return 0;
    return int((quint64(timeScale) + frameDuration - 1) / frameDuration);
}

QString TimecodeText::fromFrameNumber(quint32 frameNumber, quint32 timeScale, quint32 frameDuration,
                                      bool dropFrame)
{
    const int announced = framesPerSecond(timeScale, frameDuration);
    if (announced == 0)
        return {};
    // The player runs the timecode at the rounded rate of the track and
    // rescales the stored number when the description announces another.
    int fps = int((quint64(timeScale) + frameDuration / 2) / frameDuration);
    if (fps == 0)
        return {};
    qint64 frame = frameNumber;
    int nbFrames = announced;
    if (quint32(nbFrames) == timeScale / frameDuration)
        nbFrames = fps;
    if (nbFrames != fps)
        frame = (frame * fps + nbFrames / 2) / nbFrames;
    if (dropFrame)
        frame = dropFrameDisplayNumber(frame, fps);

    const int digits = fps > 10000 ? 5 : fps > 1000 ? 4 : fps > 100 ? 3 : fps > 10 ? 2 : 1;
    const qint64 ff = frame % fps;
    const qint64 ss = frame / fps % 60;
    const qint64 mm = frame / (qint64(fps) * 60) % 60;
    const qint64 hh = frame / (qint64(fps) * 3600);
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(hh, 2, 10, QLatin1Char('0'))
        .arg(mm, 2, 10, QLatin1Char('0'))
        .arg(ss, 2, 10, QLatin1Char('0'))
        .arg(dropFrame ? QLatin1Char(';') : QLatin1Char(':'))
        .arg(ff, digits, 10, QLatin1Char('0'));
}
