#ifndef MOVIEDUMP_H
#define MOVIEDUMP_H

#include <QString>

class QIODevice;
class QTextStream;

// ambrel-cli --dump: a movie's atom tree with every field and value, for a
// person checking a repaired take. One line per atom (type, size, file
// offset), its fields one level deeper as "Name: value", sample description
// entries as blocks of their own; two spaces per level.
class MovieDump
{
public:
    enum class Result {
        Whole,     // the file is atoms to its end, or to zero bytes that end it (an
                   // atom whose contents do not parse is shown by its header and
                   // skipped by its size)
        Stopped,   // the atoms before a point where no atom fits, and that point
        Unreadable // the file could not be opened
    };

    static Result print(const QString& path, QTextStream& out);
    // The same for any readable random-access device (a fuzz target's bytes).
    static Result print(QIODevice& device, QTextStream& out);
};

#endif
