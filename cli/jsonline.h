#ifndef JSONLINE_H
#define JSONLINE_H

#include <QByteArray>
#include <QString>

// One JSON object on one line, its keys in the order they are added: a
// script reading it line by line, or a person diffing two runs, finds each
// field where it was the last time.
class JsonLine
{
public:
    JsonLine& add(const char* key, const QString& value);
    JsonLine& add(const char* key, qint64 value);
    JsonLine& add(const char* key, bool value);
    // A number written with `decimals` digits after the point.
    JsonLine& addFixed(const char* key, double value, int decimals);
    // A number written as it is given (e.g. "23.976").
    JsonLine& addNumberText(const char* key, const QString& number);
    JsonLine& addNull(const char* key);

    // The object and its newline, in UTF-8.
    QByteArray text() const;

private:
    JsonLine& addRaw(const char* key, const QByteArray& json);
    static QByteArray quoted(const QString& text);

    QByteArray fields;
};

#endif
