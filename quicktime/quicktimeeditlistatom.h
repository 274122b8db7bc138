#ifndef QUICKTIMEEDITLISTATOM_H
#define QUICKTIMEEDITLISTATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

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

    explicit QuickTimeEditListAtom(quint32 trackDuration = 0);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 entryCount;
    QList<Entry> entries;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
