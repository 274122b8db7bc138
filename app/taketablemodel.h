#ifndef TAKETABLEMODEL_H
#define TAKETABLEMODEL_H

#include "takeresult.h"

#include <QAbstractTableModel>
#include <QList>

// One row per take a run handled, in the order it handled them.
class TakeTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Every column the table shows, in this order.
    enum Column { Name, Folder, Family, Format, Duration, Recovered, Status, NewName, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void append(const TakeResult& result);
    void clear();
    // The folder the take of a row was found in.
    QString folderOf(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    static QString text(const TakeResult& take, Column column);

    QList<TakeResult> takes;
};

#endif
