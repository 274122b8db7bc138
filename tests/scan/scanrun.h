#ifndef SCANRUN_H
#define SCANRUN_H

#include <QString>
#include <QStringList>

// One "Scan and finalize" run of the scanner over a folder: the report lines
// and debug lines in the order the output pane receives them, and the counts.
struct ScanRun
{
    QStringList lines;
    int finalized = 0;
    int unrecoverable = 0;

    static ScanRun finalize(const QString& root);

    // The lines without the two the chunk offset writer prints around each
    // of its tables ("stream ..." and "done streaming ...").
    QStringList withoutStreamingLines() const;
};

#endif
