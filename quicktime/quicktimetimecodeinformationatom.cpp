#include "quicktimetimecodeinformationatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

namespace {
constexpr int fontNameField = 32;
}

QuickTimeTimecodeInformationAtom::QuickTimeTimecodeInformationAtom()
    : QuickTimeVersionFlagsAtom(fourCC("tcmi"), 52, 0, 1)
    , textFont(0)
    , textFace(0)
    , textSize(12)
    , reserved(0)
    , textColor { 0xFFFF, 0xFFFF, 0xFFFF }
    , backgroundColor { 0, 0, 0 }
    , fontName("System")
{
}

void QuickTimeTimecodeInformationAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << textFont << textFace << textSize << reserved;
    for (quint16 value : textColor)
        stream << value;
    for (quint16 value : backgroundColor)
        stream << value;
    QByteArray field(fontNameField, '\0');
    const int length = int(qMin<qsizetype>(fontName.size(), fontNameField - 1));
    field[0] = char(length);
    field.replace(1, length, fontName.left(length));
    stream.writeRawData(field.constData(), fontNameField);
}

bool QuickTimeTimecodeInformationAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    textFont = in.u16();
    textFace = in.u16();
    textSize = in.u16();
    reserved = in.u16();
    for (quint16& value : textColor)
        value = in.u16();
    for (quint16& value : backgroundColor)
        value = in.u16();
    // Other writers leave the font name's field as long as the name.
    const QByteArray field = in.bytes(qMin<quint64>(in.left(), fontNameField));
    if (!in.ok() || field.isEmpty())
        return false;
    fontName = field.mid(1, qMin(int(quint8(field[0])), int(field.size()) - 1));
    return true;
}

void QuickTimeTimecodeInformationAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Text Font", textFont);
    fields.addNumber("Text Face", textFace);
    fields.addNumber("Text Size", textSize);
    fields.addNumber("Reserved", reserved);
    const quint32 text[3] = { textColor[0], textColor[1], textColor[2] };
    fields.addNumbers("Text Color", text, 3);
    const quint32 background[3] = { backgroundColor[0], backgroundColor[1], backgroundColor[2] };
    fields.addNumbers("Background Color", background, 3);
    fields.addPascalString("Font Name", fontName);
}

