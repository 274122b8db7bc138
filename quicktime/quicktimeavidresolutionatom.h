#ifndef QUICKTIMEAVIDRESOLUTIONATOM_H
#define QUICKTIMEAVIDRESOLUTIONATOM_H

#include "quicktimeatom.h"

#include <QByteArray>

QTLIB_BEGIN_NAMESPACE

// 'ARES' as an atom of its own. The DNxHD description writes its resolution
// extension itself; built here it is a bare header, read back it keeps its
// payload.
class QuickTimeAvidResolutionAtom : public QuickTimeAtom
{
public:
    explicit QuickTimeAvidResolutionAtom(QuickTimeFile* file = nullptr);

    void write(QDataStream& stream) override;
    bool read(QDataStream& stream, quint64& remaining) override;

    QByteArray payload;

protected:
    void describeFields(QuickTimeFieldList& fields) const override;
};

QTLIB_END_NAMESPACE

#endif
