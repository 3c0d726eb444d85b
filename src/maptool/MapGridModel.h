#pragma once

#include "maptool/EEPROMMap.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <optional>

namespace tarquel {

// One 16 x 16 grid of the comparison window: the byte texts of one page, the row captions
// (MapLabel) down the side and the column digits 0 to F across the top. Cells whose texts differ
// from the other map are painted red, the others in the normal colour.
class MapGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QColor kDifferentColour = QColor(255, 0, 0);

    explicit MapGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setPage(const MapPage& page);
    // Which cells match the other map; nullopt: all in the normal colour.
    void setMatches(const std::optional<PageMatches>& matches);
    void setRowCaptions(const QStringList& captions);
    void setNormalColour(const QColor& colour);

    const MapPage& page() const { return page_; }
    // The colour a cell is painted in.
    QColor cellColour(int row, int column) const;

private:
    void allCellsChanged();

    MapPage page_;
    std::optional<PageMatches> matches_;
    QStringList rowCaptions_;
    QColor normal_;
};

}  // namespace tarquel
