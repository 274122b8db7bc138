#ifndef ORLASCANRUN_H
#define ORLASCANRUN_H

#include <QString>
#include <QStringList>

// One "Scan and finalize" run of the scanner over a folder: the report lines
// and debug lines in the order the output pane receives them, and the counts.
struct OrlaScanRun
{
    QStringList lines;
    int finalized = 0;
    int unrecoverable = 0;

    static OrlaScanRun finalize(const QString& root);

    // The lines without the two the chunk offset writer prints around each
    // of its tables ("stream ..." and "done streaming ...").
    QStringList withoutStreamingLines() const;
};

#endif
