#ifndef QUICKTIMESOURCEREFERENCEATOM_H
#define QUICKTIMESOURCEREFERENCEATOM_H

#include "quicktimeatom.h"

#include <QByteArray>

// 'name': the recording's short source (reel) name, at most 31 characters
// in a zero-filled 32-byte field; always 44 bytes.
class QuickTimeSourceReferenceAtom : public QuickTimeAtom
{
public:
    static constexpr int nameField = 32;
    static constexpr int maxNameLength = nameField - 1;

    explicit QuickTimeSourceReferenceAtom(const char* name = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    quint16 nameLength;
    quint16 languageCode;
    char name[nameField];

    void describeFields(QuickTimeFieldList& fields) const override;
};

#endif
