#include "components/ControlNames.h"

#include <QLabel>
#include <QLineEdit>

namespace kpx {

void NameByLabel(QLabel *label, QWidget *control)
{
    label->setBuddy(control);
    for (QLineEdit *inner : control->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        inner->setAccessibleName(label->text());
}

void NamePictureButton(QWidget *button, const QString &name)
{
    button->setAccessibleName(name);
    button->setToolTip(name);
}

} // namespace kpx
