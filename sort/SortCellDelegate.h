// How the list window paints its cells. May touch: the painter it is given.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

#include "pages/EntryList.h"

namespace kpx {

// Paints the list's cells: rows of every other page on light yellow, so the
// bands show which movies will share a page once the list is written back,
// and the selected row in a light blue that keeps the text readable.
class TSortCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static inline const QColor PageBandColor{255, 255, 187};
    static inline const QColor SelectedColor{136, 204, 255};
    static constexpr int TextMargin = 2;

    // The page size is read at every paint, as the entry list holds it.
    TSortCellDelegate(const TEntryList &entries, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    // The background of a cell in `row`; `normal` is the view's own.
    QColor Background(int row, bool selected, const QColor &normal) const;

    const TEntryList &FEntries;
};

} // namespace kpx
