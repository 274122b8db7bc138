#ifndef RUNREPORT_H
#define RUNREPORT_H

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

// What the window keeps of a run for "Save report...": every line it
// showed, however many the pane has dropped since.
class RunReport
{
    Q_DECLARE_TR_FUNCTIONS(RunReport)

public:
    void addLine(const QString& line) { lines.append(line); }
    void clear() { lines.clear(); }
    bool isEmpty() const { return lines.isEmpty(); }

    // The log beside the table: "report.csv" gets "report.log".
    static QString logPathFor(const QString& tablePath);
    // The table as CSV (a header row, then its rows as shown) to tablePath
    // and the log to its sibling; each file whole or not at all. An empty
    // result, or what went wrong.
    QString save(const QString& tablePath, const QAbstractItemModel& table) const;

private:
    static QByteArray csvOf(const QAbstractItemModel& table);
    static QString saveFile(const QString& path, const QByteArray& bytes);

    QStringList lines;
};

#endif
