#ifndef CACHEDREADS_H
#define CACHEDREADS_H

#include "exactreads.h"

#include <QByteArray>
#include <QIODevice>

// Reads of a take (through a handle of its own, ExactReads) by way of the
// last few blocks read from it, never past its end. The read-back check walks
// a movie's atom headers to and fro in small reads: this way it reads each
// byte of the movie about once, in few calls. Reads of a block or more go
// straight through.
class CachedReads : public QIODevice
{
public:
    explicit CachedReads(QIODevice* take);

    qint64 size() const override;

    static constexpr qint64 blockBytes = 1 << 14;

protected:
    qint64 readData(char* data, qint64 length) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    struct Block
    {
        qint64 start = -1;
        QByteArray bytes;
    };
    // The block that starts at `start`, read when it is not kept; null when it cannot be read.
    const Block* blockAt(qint64 start);

    ExactReads reads;
    QIODevice* source;
    // The take does not change while it is read back: asked once.
    qint64 bytes;
    qint64 origin = -1;
    Block blocks[4];
    int nextToReplace = 0;
};

#endif
