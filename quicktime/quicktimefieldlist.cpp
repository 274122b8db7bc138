#include "quicktimefieldlist.h"

#include "quicktimetablesummary.h"

#include <QStringList>

void QuickTimeFieldList::add(const QString& name, const QString& value)
{
    names.append(name);
    values.append(value);
}

void QuickTimeFieldList::addNumber(const char* name, quint64 value)
{
    add(QString::fromLatin1(name), QString::number(value));
}

void QuickTimeFieldList::addSigned(const char* name, qint64 value)
{
    add(QString::fromLatin1(name), QString::number(value));
}

void QuickTimeFieldList::addFourCC(const char* name, quint32 code)
{
    add(QString::fromLatin1(name), fourCCText(code));
}

void QuickTimeFieldList::addHex(const char* name, quint64 value, int digits)
{
    add(QString::fromLatin1(name), QStringLiteral("0x%1").arg(value, digits, 16, QLatin1Char('0')));
}

void QuickTimeFieldList::addNumbers(const char* name, const quint32* numbers, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(QString::number(numbers[i]));
    add(QString::fromLatin1(name), parts.join(QLatin1Char(' ')));
}

void QuickTimeFieldList::addBytes(const char* name, const QByteArray& bytes)
{
    add(QString::fromLatin1(name), bytes.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(bytes.toHex(' ')));
}

void QuickTimeFieldList::addPascalString(const char* name, const QByteArray& bytes)
{
    add(QString::fromLatin1(name), QLatin1Char('"') + QString::fromLatin1(bytes) + QLatin1Char('"'));
}

void QuickTimeFieldList::addTuples(const char* name, const QList<quint64>& flatValues, int tupleWidth)
{
    constexpr int longestListed = 16;
    if (flatValues.size() > longestListed * tupleWidth) {
        qsizetype index = 0;
        add(QString::fromLatin1(name), QuickTimeTableSummary::of(quint64(flatValues.size()), [&](quint64& value) {
            value = flatValues.at(index++);
            return true;
        }));
        return;
    }
    QStringList tuples;
    for (qsizetype i = 0; i + tupleWidth <= flatValues.size(); i += tupleWidth) {
        QStringList parts;
        for (int j = 0; j < tupleWidth; ++j)
            parts.append(QString::number(flatValues.at(i + j)));
        tuples.append(QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    add(QString::fromLatin1(name), tuples.isEmpty() ? QStringLiteral("-") : tuples.join(QLatin1Char(' ')));
}

QString QuickTimeFieldList::fourCCText(quint32 code)
{
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((code >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E)
            return QStringLiteral("0x%1").arg(code, 8, 16, QLatin1Char('0'));
        text.append(QLatin1Char(c));
    }
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

