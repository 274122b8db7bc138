#ifndef CRASHTAKE_H
#define CRASHTAKE_H

#include "recordingwriter.h"
#include "takedescription.h"
#include "wavwriter.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A take for the fault tests: written once as the recorder left it,
// repaired once by the console without any fault (the yardstick every
// interrupted or failing repair is held against), and laid afresh onto a
// card for every run.
class CrashTake
{
public:
    static CrashTake video(const TakeDescription& take);
    static CrashTake wav(const WavDescription& description);

    bool ok = false;
    QString error;

    // The take's names under the temporary, the finished and the failure extension.
    QString takeName;
    QString repairedName;
    QString failedName;
    QString familyTag; // as the result line prints it: "(Orla)", "(Vesk)"

    QByteArray pristine; // the take as the recorder left it
    QByteArray repaired; // the take after a repair without faults
    // Video: where the repair's writes begin (the end of the recorded media
    // it chose) and the size of its movie atom. Audio: 0.
    qint64 repairStart = 0;
    qint64 movieBytes = 0;
    // Audio: where the data size field lies.
    qint64 dataSizeOffset = 0;

    bool lay(const QString& root) const;
    // The paths a run touches the take under.
    QStringList paths(const QString& root) const;
    // The names of the files standing in `root`.
    static QStringList standing(const QString& root);

    // Whether the file holds the recording as recorded wherever a repair
    // must not write: the head and the media (or, for audio, all but the
    // two size fields).
    bool keepsRecording(const QString& path) const;
    // Empty when a player finds in `path` every frame, sample and the
    // timecode that was recorded; otherwise what differs.
    QString playbackMismatch(const QString& path) const;

private:
    bool repairOnce();

    bool isVideo = true;
    TakeDescription takeDescription;
    WrittenTake writtenTake;
    WrittenWav writtenWav;
    quint32 bytesPerSample = 3;
    QList<QPair<qint64, qint64>> keptRanges; // offset, length
};

#endif
