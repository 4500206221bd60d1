#include "settings/DeclaredProps.h"

#include "settings/file/IniDocument.h"
#include "text/Cp932.h"

namespace kpx {

QString FiledName(const QObject &object)
{
    return object.objectName().isEmpty() ? QString::fromLatin1(object.metaObject()->className()) : object.objectName();
}

// ---------------------------------------------------------------- TProp

TProp::TProp(TProps &collection) : FCollection(collection) {}

QObject *TProp::Compo() const
{
    return FCompo;
}

void TProp::SetCompo(QObject *compo)
{
    if (FCompo == compo)
        return;
    FCompo = compo;
    if (compo && !FPropName.isEmpty() && !FindDeclaredProperty(*compo, FPropName).isValid())
        FPropName.clear();
    Update();
}

const QString &TProp::PropName() const
{
    return FPropName;
}

void TProp::SetPropName(const QString &name)
{
    if (FPropName == name)
        return;
    FPropName = name;
    Update();
}

const QString &TProp::SectionName() const
{
    return FSectionName;
}

void TProp::SetSectionName(const QString &name)
{
    if (FSectionName == name)
        return;
    FSectionName = name;
    Update();
}

const QString &TProp::KeyName() const
{
    return FKeyName;
}

void TProp::SetKeyName(const QString &name)
{
    if (FKeyName == name)
        return;
    FKeyName = name;
    Update();
}

bool TProp::Enabled() const
{
    return FEnabled;
}

void TProp::SetEnabled(bool enabled)
{
    if (FEnabled == enabled)
        return;
    FEnabled = enabled;
    // A re-enabled entry must not take a key another entry won meanwhile.
    Update();
}

void TProp::Assign(const TProp &source)
{
    FCompo = source.FCompo;
    FPropName = source.FPropName;
    FSectionName = source.FSectionName;
    FKeyName = source.FKeyName;
    FEnabled = source.FEnabled;
    Update();
}

TPropKind TProp::Kind() const
{
    return FKind;
}

bool TProp::IsUsable() const
{
    return FEnabled && FCompo && FKind != pkNone;
}

QString TProp::Section() const
{
    if (!FSectionName.isEmpty() || !FCompo)
        return FSectionName;
    return FiledName(*FCompo);
}

QString TProp::Key() const
{
    if (!FUniqueKey.isEmpty())
        return FUniqueKey;
    return FKeyName.isEmpty() ? FPropName : FKeyName;
}

QVariant TProp::Value() const
{
    return IsUsable() ? FProperty.read(FCompo) : QVariant();
}

void TProp::SetValue(const QVariant &value)
{
    if (IsUsable())
        WriteQuietly(*FCompo, FProperty, value);
}

void TProp::Update()
{
    FUniqueKey.clear();
    FProperty = FCompo && !FPropName.isEmpty() ? FindDeclaredProperty(*FCompo, FPropName) : QMetaProperty();
    FKind = PropertyKind(FProperty);
    if (!IsUsable())
        return;
    const QString section = Section();
    const QString base = Key();
    QString candidate = base;
    for (int suffix = 1; FCollection.IsTaken(section, candidate, this); ++suffix)
        candidate = base + QString::number(suffix);
    FUniqueKey = candidate;
}

// ---------------------------------------------------------------- TProps

TProp &TProps::Add()
{
    FItems.push_back(std::unique_ptr<TProp>(new TProp(*this)));
    return *FItems.back();
}

TProp &TProps::Add(QObject *compo, const QString &propName, const QString &sectionName, const QString &keyName)
{
    TProp &entry = Add();
    entry.SetCompo(compo);
    entry.SetPropName(propName);
    entry.SetSectionName(sectionName);
    entry.SetKeyName(keyName);
    return entry;
}

int TProps::Count() const
{
    return static_cast<int>(FItems.size());
}

TProp &TProps::operator[](int index)
{
    return *FItems.at(static_cast<size_t>(index));
}

void TProps::Clear()
{
    FItems.clear();
}

void TProps::Assign(const TProps &source)
{
    Clear();
    for (const auto &entry : source.FItems)
        Add().Assign(*entry);
}

bool TProps::IsTaken(const QString &section, const QString &key, const TProp *except) const
{
    const std::string wantedSection = QStringToCp932Lossy(section);
    const std::string wantedKey = QStringToCp932Lossy(key);
    for (const auto &entry : FItems) {
        if (entry.get() != except && entry->IsUsable()
            && SameIniName(QStringToCp932Lossy(entry->Section()), wantedSection)
            && SameIniName(QStringToCp932Lossy(entry->Key()), wantedKey))
            return true;
    }
    return false;
}

} // namespace kpx
