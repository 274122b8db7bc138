#pragma once

#include <QString>
#include <QStringList>

// A card folder for a demo, laid out like a recorder's card:
//   ORLA/CLIPS/   unfinished newer-family takes (.vlv), a finished movie (.mov)
//                 and a take an earlier repair could not save (.nrv)
//   VESK/CLIPS/   unfinished older-family takes (.vlv)
//   VESK/SOUND/   an unfinished audio take (.vla) and a finished one (.wav)
class SampleCard
{
public:
    explicit SampleCard(const QString& folder, int framesPerTake = 24);

    // Writes every take; false on the first failure (see error()), a file
    // of a take's name already in the folder among them: none is replaced.
    bool write();

    QString error() const { return failure; }
    // One line per file written: its path and what it holds.
    QStringList written() const { return lines; }

private:
    bool writeOrlaTakes(const QString& clips);
    bool writeVeskTakes(const QString& clips);
    bool writeSoundTakes(const QString& sound);
    bool fail(const QString& what);
    // False (a failure) when a file of that name is already there.
    bool isFree(const QString& path);
    void note(const QString& path, const QString& what);

    QString root;
    int frames;
    QString failure;
    QStringList lines;
};
