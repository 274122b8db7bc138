#ifndef QUICKTIMETIMECODEINFORMATIONATOM_H
#define QUICKTIMETIMECODEINFORMATIONATOM_H

#include "quicktimeversionflagsatom.h"

#include <QByteArray>

QTLIB_BEGIN_NAMESPACE

// 'tcmi': how a player draws the timecode track; flags 1.
class QuickTimeTimecodeInformationAtom : public QuickTimeVersionFlagsAtom
{
public:
    explicit QuickTimeTimecodeInformationAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 textFont;
    quint16 textFace;
    quint16 textSize;
    quint16 reserved;
    quint16 textColor[3];
    quint16 backgroundColor[3];
    QByteArray fontName; // Pascal string in a zero-filled 32-byte field

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
