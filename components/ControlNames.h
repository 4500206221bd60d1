#pragma once

class QLabel;
class QString;
class QWidget;

namespace kpx {

// Names a control after the label in front of it, as a screen reader speaks
// it: the label becomes the control's buddy, and an edit field inside the
// control (an editable combo box's, a spinner's), which takes the focus too,
// is given the same name.
void NameByLabel(QLabel *label, QWidget *control);

// Names a button that shows only a picture: for a screen reader, and for the
// pointer resting on it.
void NamePictureButton(QWidget *button, const QString &name);

} // namespace kpx
