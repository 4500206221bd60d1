// A number box with its up-down spinner. May touch: widgets.
#pragma once

#include <QSpinBox>

namespace kpx {

// A number box with its up-down spinner. The box and its edit field carry the
// names of the two controls they stand for, so both can be found by name.
// arrowClicked tells a step by the arrows (or the arrow keys) apart from typing.
class TUpDown : public QSpinBox
{
    Q_OBJECT

public:
    TUpDown(const QString &upDownName, const QString &editName, QWidget *parent = nullptr);
    void stepBy(int steps) override;

Q_SIGNALS:
    void arrowClicked();
};

} // namespace kpx
