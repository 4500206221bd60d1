#include "components/UpDown.h"

#include <QLineEdit>

namespace kpx {

TUpDown::TUpDown(const QString &upDownName, const QString &editName, QWidget *parent) : QSpinBox(parent)
{
    setObjectName(upDownName);
    lineEdit()->setObjectName(editName);
    setWrapping(false);
    setGroupSeparatorShown(false);
}

void TUpDown::stepBy(int steps)
{
    const int before = value();
    QSpinBox::stepBy(steps);
    if (value() != before)
        Q_EMIT arrowClicked();
}

} // namespace kpx
