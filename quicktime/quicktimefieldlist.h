#ifndef QUICKTIMEFIELDLIST_H
#define QUICKTIMEFIELDLIST_H

#include "quicktimefourcc.h"

#include <QList>
#include <QString>

// Display names and values of an atom's or a sample description's fields,
// in field order. One formatter serves every class, so equal values always
// read the same.
class QuickTimeFieldList
{
public:
    void add(const QString& name, const QString& value);
    void addNumber(const char* name, quint64 value);
    void addSigned(const char* name, qint64 value);
    void addFourCC(const char* name, quint32 code);
    void addHex(const char* name, quint64 value, int digits);
    void addNumbers(const char* name, const quint32* values, int count);
    void addBytes(const char* name, const QByteArray& bytes);
    void addPascalString(const char* name, const QByteArray& bytes);
    // Short tables as "(a, b, c) ...", long ones as a table summary.
    void addTuples(const char* name, const QList<quint64>& flatValues, int tupleWidth);

    int count() const { return names.size(); }
    QString name(int index) const { return names.at(index); }
    QString value(int index) const { return values.at(index); }

    static QString fourCCText(quint32 code);

private:
    QList<QString> names;
    QList<QString> values;
};

#endif
