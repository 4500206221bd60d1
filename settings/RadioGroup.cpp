#include "settings/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kpx {

TRadioGroup::TRadioGroup(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
    , FButtons(new QButtonGroup(this))
    , FLayout(new QVBoxLayout(this))
{
    // The choices share the group's height evenly, as such groups do; packed
    // no tighter than that, five of them fit where four used to.
    FLayout->setSpacing(0);
    FLayout->setContentsMargins(8, 2, 8, 2);
    connect(FButtons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit ItemIndexChanged(id);
    });
}

const QStringList &TRadioGroup::Items() const
{
    return FItems;
}

void TRadioGroup::SetItems(const QStringList &items)
{
    const bool hadSelection = ItemIndex() >= 0;
    for (QAbstractButton *button : FButtons->buttons()) {
        FButtons->removeButton(button);
        delete button;
    }
    FItems = items;
    for (int i = 0; i < FItems.size(); ++i) {
        auto *button = new QRadioButton(FItems[i], this);
        FButtons->addButton(button, i);
        FLayout->addWidget(button);
    }
    if (hadSelection)
        emit ItemIndexChanged(-1);
}

void TRadioGroup::SetItemToolTip(int index, const QString &text)
{
    if (QAbstractButton *button = FButtons->button(index))
        button->setToolTip(text);
}

int TRadioGroup::ItemIndex() const
{
    return FButtons->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1 || index >= FItems.size() || index == ItemIndex())
        return;
    if (index >= 0) {
        FButtons->button(index)->setChecked(true); // reported through idToggled
        return;
    }
    // An exclusive group keeps one button checked; lift that for the moment.
    FButtons->setExclusive(false);
    FButtons->checkedButton()->setChecked(false);
    FButtons->setExclusive(true);
    emit ItemIndexChanged(-1);
}

} // namespace kpx
