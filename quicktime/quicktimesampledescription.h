#ifndef QUICKTIMESAMPLEDESCRIPTION_H
#define QUICKTIMESAMPLEDESCRIPTION_H

#include "quicktimefourcc.h"

#include <QByteArray>
#include <QString>

class QDataStream;

class QuickTimeFieldList;

// One entry of a sample description atom (not an atom itself). The base
// class also stands for entries of formats this library does not model: it
// keeps their payload as it was read.
class QuickTimeSampleDescription
{
public:
    QuickTimeSampleDescription(quint32 format = 0, quint32 size = 16);
    virtual ~QuickTimeSampleDescription();

    virtual void write(QDataStream& stream);
    // Reads what follows `size` and `format` (which the caller has read and
    // set), within `remaining` bytes, counting it down.
    virtual bool read(QDataStream& stream, quint64& remaining);

    quint32 size;
    quint32 format;
    quint8 reserved[6];
    quint16 dataReferenceIndex;
    // The bytes after the common fields of an entry of an unmodelled format.
    QByteArray opaquePayload;

    virtual void describeFields(QuickTimeFieldList& fields) const;

protected:
    void writeCommonFields(QDataStream& stream);
    bool readCommonFields(QDataStream& stream, quint64& remaining);

private:
    Q_DISABLE_COPY(QuickTimeSampleDescription)
};

#endif
