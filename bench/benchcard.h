#ifndef BENCHCARD_H
#define BENCHCARD_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// A card of small older-family takes as a recorder leaves them (video takes
// in CLIPS/, sound takes in SOUND/), and a way back to that state after each
// run.
class BenchCard
{
public:
    struct Take
    {
        QString path;
        bool video = false;
        qint64 mediaEnd = 0;      // video: where the repair writes
        QByteArray openSizes;     // sound: the RIFF size as the recorder wrote it
        qint64 dataSizeOffset = 0;
        qint64 repairBytes = 0;   // what one repair wrote
    };

    // Video takes of 24 frames of `frameBytes`, with two sound channels.
    BenchCard(int videoTakes, int soundTakes, int frameBytes = 100000);

    static QString finishedName(const Take& take);
    // Every take back under its temporary name, its header open again.
    bool restore();

    QTemporaryDir dir;
    QList<Take> takes;
    bool ok = true;

private:
    // A sound take's sizes as the recorder left them.
    static bool reopenSizes(const Take& take);
};

#endif
