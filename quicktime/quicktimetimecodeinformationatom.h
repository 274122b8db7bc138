#ifndef QUICKTIMETIMECODEINFORMATIONATOM_H
#define QUICKTIMETIMECODEINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

#include <QByteArray>

// 'tcmi': how a player draws the timecode track; flags 1.
class QuickTimeTimecodeInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    QuickTimeTimecodeInformationAtom();

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 textFont;
    quint16 textFace;
    quint16 textSize;
    quint16 reserved;
    quint16 textColor[3];
    quint16 backgroundColor[3];
    QByteArray fontName; // Pascal string in a zero-filled 32-byte field

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
