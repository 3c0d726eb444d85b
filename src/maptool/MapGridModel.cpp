#include "maptool/MapGridModel.h"

namespace tarquel {

MapGridModel::MapGridModel(QObject* parent) : QAbstractTableModel(parent) {
    for (int r = 0; r < kMapRows; ++r) {
        rowCaptions_ << QStringLiteral("B6%1").arg(r, 1, 16).toUpper() + QLatin1Char('0');
        for (int c = 0; c < kMapColumns; ++c) {
            page_.cell(r, c) = QStringLiteral("00");
        }
    }
}

int MapGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMapRows;
}

int MapGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMapColumns;
}

QVariant MapGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return page_.cell(index.row(), index.column());
        case Qt::BackgroundRole:
            return cellColour(index.row(), index.column());
        case Qt::TextAlignmentRole:
            // Each text starts at its column's left edge, so the wider last column of a
            // four-byte group leaves the gap after the group.
            return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant MapGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0 || section >= kMapRows) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return QString::number(section, 16).toUpper();
    }
    return rowCaptions_.value(section);
}

QColor MapGridModel::cellColour(int row, int column) const {
    const bool same =
        !matches_ || (*matches_)[static_cast<size_t>(row)][static_cast<size_t>(column)];
    return same ? normal_ : kDifferentColour;
}

void MapGridModel::setPage(const MapPage& page) {
    page_ = page;
    allCellsChanged();
}

void MapGridModel::setMatches(const std::optional<PageMatches>& matches) {
    matches_ = matches;
    allCellsChanged();
}

void MapGridModel::setRowCaptions(const QStringList& captions) {
    rowCaptions_ = captions;
    emit headerDataChanged(Qt::Vertical, 0, kMapRows - 1);
}

void MapGridModel::setNormalColour(const QColor& colour) {
    normal_ = colour;
    allCellsChanged();
}

void MapGridModel::allCellsChanged() {
    emit dataChanged(index(0, 0), index(kMapRows - 1, kMapColumns - 1));
}

}  // namespace tarquel
