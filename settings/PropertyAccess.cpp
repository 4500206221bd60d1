#include "settings/PropertyAccess.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace kpx {

namespace {

struct TPropertyAlias
{
    const QMetaObject *ControlClass;
    const char *DeclaredName;
    const char *QtName;
};

const TPropertyAlias Aliases[] = {
    {&QAbstractButton::staticMetaObject, "Checked", "checked"},
    {&QSpinBox::staticMetaObject, "Position", "value"},
    {&QAbstractSlider::staticMetaObject, "Position", "value"},
    {&QComboBox::staticMetaObject, "ItemIndex", "currentIndex"},
    {&QLineEdit::staticMetaObject, "Text", "text"},
    {&QComboBox::staticMetaObject, "Text", "currentText"},
    {&QPlainTextEdit::staticMetaObject, "Text", "plainText"},
};

QMetaProperty PropertyNamed(const QMetaObject &meta, const char *name)
{
    const int index = meta.indexOfProperty(name);
    return index < 0 ? QMetaProperty() : meta.property(index);
}

bool IsPersistentValueType(QMetaType type)
{
    return type == QMetaType::fromType<QStringList>() || type == QMetaType::fromType<QFont>();
}

} // namespace

QMetaProperty FindDeclaredProperty(const QObject &control, const QString &name)
{
    const QMetaObject &meta = *control.metaObject();
    const QByteArray latin1 = name.toLatin1();
    if (const QMetaProperty exact = PropertyNamed(meta, latin1.constData()); exact.isValid())
        return exact;
    for (const TPropertyAlias &alias : Aliases)
        if (latin1 == alias.DeclaredName && meta.inherits(alias.ControlClass))
            return PropertyNamed(meta, alias.QtName);
    return QMetaProperty();
}

TPropKind PropertyKind(const QMetaProperty &property)
{
    if (!property.isValid() || !property.isReadable())
        return pkNone;
    const QMetaType type = property.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject))
        return pkObject;
    if (!property.isWritable())
        return pkNone;
    if (property.isEnumType() || property.isFlagType())
        return pkOrdinal;
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
        return pkOrdinal;
    case QMetaType::QString:
        return pkString;
    case QMetaType::Double:
    case QMetaType::Float:
        return pkFloat;
    default:
        return IsPersistentValueType(type) ? pkObject : pkNone;
    }
}

int OrdinalOf(const QVariant &value)
{
    // Unsigned values keep their bit pattern, as 32-bit ordinals do.
    return static_cast<int>(value.toLongLong());
}

bool WriteQuietly(QObject &control, const QMetaProperty &property, const QVariant &value)
{
    const QSignalBlocker blocker(&control);
    return property.write(&control, value);
}

} // namespace kpx
