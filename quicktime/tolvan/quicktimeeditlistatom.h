#ifndef QUICKTIMEEDITLISTATOM_H
#define QUICKTIMEEDITLISTATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

QTLIB_BEGIN_NAMESPACE

// 'elst': one edit that plays the whole media at normal rate.
class QuickTimeEditListAtom : public QuickTimeVersionFlagsAtom
{
public:
    struct Entry
    {
        quint32 trackDuration;
        quint32 mediaTime;
        quint32 mediaRate; // 16.16
    };

    explicit QuickTimeEditListAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 entryCount;
    QList<Entry> entries;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
