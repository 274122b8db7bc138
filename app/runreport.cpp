#include "app/runreport.h"

#include <QAbstractItemModel>
#include <QSaveFile>

namespace {

// RFC 4180: a field with a separator, a quote or a line break is quoted,
// its quotes doubled. A card's file names are anybody's: one that starts
// like a formula is kept as text, so opening the report runs nothing.
QString csvField(QString text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

}

QString RunReport::logPathFor(const QString& tablePath)
{
    const QString base = tablePath.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? tablePath.chopped(4) : tablePath;
    return base + QLatin1String(".log");
}

QString RunReport::save(const QString& tablePath, const QAbstractItemModel& table) const
{
    const QString tableError = saveFile(tablePath, csvOf(table));
    if (!tableError.isEmpty())
        return tableError;
    return saveFile(logPathFor(tablePath), lines.isEmpty() ? QByteArray() : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

QByteArray RunReport::csvOf(const QAbstractItemModel& table)
{
    QString csv;
    const auto addRow = [&](const auto& cell) {
        QStringList fields;
        for (int column = 0; column < table.columnCount(); ++column)
            fields.append(csvField(cell(column)));
        csv += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    };
    addRow([&](int column) { return table.headerData(column, Qt::Horizontal).toString(); });
    for (int row = 0; row < table.rowCount(); ++row)
        addRow([&](int column) { return table.index(row, column).data().toString(); });
    return csv.toUtf8();
}

QString RunReport::saveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    return tr("%1: %2").arg(path, file.errorString());
}
