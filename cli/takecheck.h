#ifndef TAKECHECK_H
#define TAKECHECK_H

#include <QString>

class QIODevice;
class QTextStream;

// ambrel-cli --check: a person's summary of one take or movie in a few
// lines, "Name: value": its family, its state (unfinished, repaired,
// complete, unrecoverable), what was recorded and, for an unfinished take,
// what a repair would recover. It reads what a repair reads and never writes.
class TakeCheck
{
public:
    enum class Result {
        Described,  // the summary was printed
        Unreadable  // the file could not be opened
    };

    static Result print(const QString& path, QTextStream& out);
    // The same for any readable random-access device; `name` (its file
    // name) tells a sound take from a video take and names a failed one.
    static Result print(QIODevice& device, const QString& name, QTextStream& out);
};

#endif
