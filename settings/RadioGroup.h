// A captioned group of radio buttons. May touch: widgets.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

namespace kpx {

// A captioned group of radio buttons, one per item, of which at most one is
// selected. ItemIndex is the selected item's index, -1 for none; it is what
// the persistence component stores for the group.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex NOTIFY ItemIndexChanged USER true)

public:
    explicit TRadioGroup(const QString &caption = {}, QWidget *parent = nullptr);

    const QStringList &Items() const;
    // Replaces the buttons; nothing is selected afterwards.
    void SetItems(const QStringList &items);
    // What the item's button tells when the pointer rests on it.
    void SetItemToolTip(int index, const QString &text);

    int ItemIndex() const;
    // -1 clears the selection. An index that names no item is ignored, so a
    // garbled stored value leaves the current choice in place.
    void SetItemIndex(int index);

signals:
    void ItemIndexChanged(int index);

private:
    QStringList FItems;
    QButtonGroup *FButtons;
    QVBoxLayout *FLayout;
};

} // namespace kpx
