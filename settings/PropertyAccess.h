// Control properties by their declared names. May touch: the controls it is given.
#pragma once

#include <QMetaProperty>
#include <QString>
#include <QVariant>

class QObject;

namespace kpx {

// How a property's value is stored in the settings file.
enum TPropKind {
    pkNone,    // not stored (64-bit integers, records, lists of other types, ...)
    pkOrdinal, // decimal integer: bool as 0/1, enumerations and flags by value
    pkString,  // the text itself
    pkFloat,   // decimal floating-point text
    pkObject,  // a numbered run of keys (see ObjectLines.h)
};

// Windows name control properties as they are known in the window's design:
// "Checked", "Position", "ItemIndex", "Text". Such a name is resolved in two
// steps, both through Qt's meta-object system:
//  1. a Q_PROPERTY of exactly that name (TRadioGroup declares "ItemIndex");
//  2. otherwise the alias for the control's class:
//       Checked   -> checked      on QAbstractButton
//       Position  -> value        on QSpinBox, QAbstractSlider
//       ItemIndex -> currentIndex on QComboBox
//       Text      -> text         on QLineEdit
//                    currentText  on QComboBox
//                    plainText    on QPlainTextEdit
// Any other name must be a Q_PROPERTY of the control. An invalid QMetaProperty
// means the control has no such property.
QMetaProperty FindDeclaredProperty(const QObject &control, const QString &name);

// The kind derived from the property's meta-type. A property that cannot be
// read, or cannot be written back (apart from a QObject reference, which is
// filled in place), is pkNone.
TPropKind PropertyKind(const QMetaProperty &property);

// The integer stored for a pkOrdinal value: a bool as 0/1, an enumeration by
// its value, flags by their mask.
int OrdinalOf(const QVariant &value);

// Writes the value with the control's signals blocked, so that loading never
// runs the window's change handlers (which would store the value again).
// False when the property refuses the value; the control keeps its own.
bool WriteQuietly(QObject &control, const QMetaProperty &property, const QVariant &value);

} // namespace kpx
