#include "cli/jsonline.h"

JsonLine& JsonLine::add(const char* key, const QString& value)
{
    return addRaw(key, quoted(value));
}

JsonLine& JsonLine::add(const char* key, qint64 value)
{
    return addRaw(key, QByteArray::number(value));
}

JsonLine& JsonLine::add(const char* key, bool value)
{
    return addRaw(key, value ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
}

JsonLine& JsonLine::addFixed(const char* key, double value, int decimals)
{
    // JSON has no infinity or NaN.
    if (!(value > -1e15 && value < 1e15))
        return addNull(key);
    return addRaw(key, QByteArray::number(value, 'f', decimals));
}

JsonLine& JsonLine::addNumberText(const char* key, const QString& number)
{
    return addRaw(key, number.toLatin1());
}

JsonLine& JsonLine::addNull(const char* key)
{
    return addRaw(key, QByteArrayLiteral("null"));
}

QByteArray JsonLine::text() const
{
    return '{' + fields + "}\n";
}

JsonLine& JsonLine::addRaw(const char* key, const QByteArray& json)
{
    if (!fields.isEmpty())
        fields += ',';
    fields += quoted(QString::fromLatin1(key)) + ':' + json;
    return *this;
}

QByteArray JsonLine::quoted(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': escaped += QLatin1String("\\\""); break;
        case '\\': escaped += QLatin1String("\\\\"); break;
        case '\n': escaped += QLatin1String("\\n"); break;
        case '\r': escaped += QLatin1String("\\r"); break;
        case '\t': escaped += QLatin1String("\\t"); break;
        default:
            // A file name may hold any other control character.
            if (c.unicode() < 0x20)
                escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    escaped += QLatin1Char('"');
    return escaped.toUtf8();
}
