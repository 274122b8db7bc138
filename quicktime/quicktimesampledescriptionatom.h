#ifndef QUICKTIMESAMPLEDESCRIPTIONATOM_H
#define QUICKTIMESAMPLEDESCRIPTIONATOM_H

#include "quicktimeversionflagsatom.h"

#include <QList>

class QuickTimeSampleDescription;

// 'stsd': the entry count, the entries, then any child atoms (the timecode
// track's source name, which lies inside its description).
class QuickTimeSampleDescriptionAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeSampleDescriptionAtom();
    ~QuickTimeSampleDescriptionAtom() override;

    // Appends an entry (owned from now on), counts it and grows this atom
    // and its ancestors by the entry's size.
    void addDescription(QuickTimeSampleDescription* description);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint32 entryCount;
    QList<QuickTimeSampleDescription*> descriptions;

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
