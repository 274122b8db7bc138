#include "app/taketablemodel.h"

#include <QFileInfo>

void TakeTableModel::append(const TakeResult& result)
{
    beginInsertRows(QModelIndex(), int(takes.size()), int(takes.size()));
    takes.append(result);
    endInsertRows();
}

void TakeTableModel::clear()
{
    beginResetModel();
    takes.clear();
    endResetModel();
}

QString TakeTableModel::folderOf(int row) const
{
    return QFileInfo(takes.at(row).path).absolutePath();
}

int TakeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(takes.size());
}

int TakeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TakeTableModel::data(const QModelIndex& index, int role) const
{
    // A cell too narrow for its text shows it whole when pointed at.
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return text(takes.at(index.row()), Column(index.column()));
}

QVariant TakeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
    case Name: return tr("Name");
    case Folder: return tr("Folder");
    case Family: return tr("Family");
    case Format: return tr("Format");
    case Duration: return tr("Duration");
    case Recovered: return tr("Recovered");
    case Status: return tr("Status");
    case NewName: return tr("New name");
    case ColumnCount: break;
    }
    return QVariant();
}

QString TakeTableModel::text(const TakeResult& take, Column column)
{
    switch (column) {
    case Name: return QFileInfo(take.path).fileName();
    case Folder: return QFileInfo(take.path).absolutePath();
    case Family:
        if (take.family == TakeResult::Family::Unknown)
            return QString();
        return take.family == TakeResult::Family::Orla ? tr("Orla") : tr("Vesk");
    case Format: return take.recorded.summary();
    case Duration: return take.recorded.durationText();
    case Recovered: return take.recoveredText();
    case Status: return take.statusText();
    case NewName:
        return take.finalPath == take.path ? QString() : QFileInfo(take.finalPath).fileName();
    case ColumnCount: break;
    }
    return QString();
}
