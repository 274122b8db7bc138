#include "quicktimesourcereferenceatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>
#include <cstring>

QuickTimeSourceReferenceAtom::QuickTimeSourceReferenceAtom(const char* sourceName)
    : QuickTimeAtom(fourCC("name"))
    , nameLength(0)
    , languageCode(0)
{
    size = 44;
    std::memset(name, 0, sizeof name);
    if (sourceName) {
        while (nameLength < maxNameLength && sourceName[nameLength] != '\0') {
            name[nameLength] = sourceName[nameLength];
            ++nameLength;
        }
    }
}

void QuickTimeSourceReferenceAtom::write(QDataStream& stream)
{
    QuickTimeAtom::write(stream);
    stream << nameLength << languageCode;
    stream.writeRawData(name, nameField);
}

bool QuickTimeSourceReferenceAtom::read(QDataStream& stream, quint64& remaining)
{
    QuickTimeFieldReader in(stream, remaining);
    nameLength = in.u16();
    languageCode = in.u16();
    // Other writers leave the name's field as long as the name.
    const QByteArray field = in.bytes(qMin<quint64>(in.left(), nameField));
    if (!in.ok())
        return false;
    std::memset(name, 0, nameField);
    std::memcpy(name, field.constData(), size_t(field.size()));
    return true;
}

void QuickTimeSourceReferenceAtom::describeFields(QuickTimeFieldList& fields) const
{
    fields.addNumber("Name Length", nameLength);
    fields.addNumber("Language Code", languageCode);
    fields.addPascalString("Name", QByteArray(name, qMin<int>(nameLength, nameField)));
}

