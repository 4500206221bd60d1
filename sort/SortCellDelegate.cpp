#include "sort/SortCellDelegate.h"

#include <QPainter>

#include "sort/SortRow.h"

namespace kpx {

TSortCellDelegate::TSortCellDelegate(const TEntryList &entries, QObject *parent)
    : QStyledItemDelegate(parent)
    , FEntries(entries)
{
}

QColor TSortCellDelegate::Background(int row, bool selected, const QColor &normal) const
{
    if (selected)
        return SelectedColor;
    return PageOfEntry(FEntries, row) % 2 == 0 ? PageBandColor : normal;
}

void TSortCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect cell = option.rect;
    painter->save();
    painter->fillRect(cell, Background(index.row(), selected, option.palette.color(QPalette::Base)));
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setFont(option.font);
    const QRect textArea = cell.adjusted(TextMargin, 0, -TextMargin, 0);
    const Qt::Alignment horizontal = index.column() == scFileSize ? Qt::AlignRight : Qt::AlignLeft;
    painter->setClipRect(cell);
    // A column narrowed below its text says so with an ellipsis.
    const QString text = QFontMetrics(option.font).elidedText(index.data().toString(), Qt::ElideRight, textArea.width());
    painter->drawText(textArea, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

} // namespace kpx
