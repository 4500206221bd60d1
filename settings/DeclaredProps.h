// The control values a window declares for the settings file. May touch: nothing but the declarations.
#pragma once

#include <memory>
#include <vector>

#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QString>

#include "settings/PropertyAccess.h"

namespace kpx {

class TProps;

// What an unnamed control or window is filed under: its class name.
QString FiledName(const QObject &object);

// One declared value: a control's property, by name, kept under a section and
// key of the settings file.
class TProp
{
public:
    QObject *Compo() const;
    // A control that lacks a property named PropName clears PropName. The
    // entry forgets a control when the control is destroyed.
    void SetCompo(QObject *compo);
    const QString &PropName() const;
    void SetPropName(const QString &name);
    const QString &SectionName() const;
    void SetSectionName(const QString &name);
    const QString &KeyName() const;
    void SetKeyName(const QString &name);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Copies Compo, PropName, SectionName, KeyName and Enabled.
    void Assign(const TProp &source);

    TPropKind Kind() const;
    // Enabled, the control alive, and its property (PropertyAccess.h) of a
    // kind that is stored. Only usable entries are loaded, saved and compete
    // for keys.
    bool IsUsable() const;
    // SectionName, else the control's objectName, else its class name.
    QString Section() const;
    // Of a usable entry: the key it won (KeyName or PropName, with "1", "2",
    // ... appended when another entry of the same section already has it).
    QString Key() const;

    // The property's value; invalid, and ignored, while the entry is not usable.
    QVariant Value() const;
    void SetValue(const QVariant &value);

private:
    friend class TProps;
    explicit TProp(TProps &collection);
    void Update();

    TProps &FCollection;
    QPointer<QObject> FCompo;
    QString FPropName;
    QString FSectionName;
    QString FKeyName;
    bool FEnabled = true;
    QString FUniqueKey;
    TPropKind FKind = pkNone;
    QMetaProperty FProperty;
};

// The declared values of one window, in order.
class TProps
{
public:
    TProps() = default;
    TProps(const TProps &) = delete;
    TProps &operator=(const TProps &) = delete;

    TProp &Add();
    // Empty section and key names take the defaults (see TProp).
    TProp &Add(QObject *compo, const QString &propName, const QString &sectionName = {}, const QString &keyName = {});
    int Count() const;
    TProp &operator[](int index);
    void Clear();
    void Assign(const TProps &source);

    // Whether a usable entry other than `except` resolves to this section and
    // key (names matched as the settings file matches them).
    bool IsTaken(const QString &section, const QString &key, const TProp *except = nullptr) const;

private:
    std::vector<std::unique_ptr<TProp>> FItems;
};

} // namespace kpx
