#ifndef EXACTREADS_H
#define EXACTREADS_H

#include <QFile>

// Reads of a take that take only the bytes asked for: through a handle of
// its own on the same file, opened without a read buffer, so that a probe
// of a header or a walk of atom headers never pulls the bytes behind them
// along; through the device itself when it is no file.
class ExactReads
{
public:
    explicit ExactReads(QIODevice* device);

    QIODevice* device() const { return source; }

private:
    QFile own;
    QIODevice* source = nullptr;
};

#endif
