#include "settings/SaveProp.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <QDebug>
#include <QEvent>
#include <QScopedValueRollback>
#include <QWidget>

#include "settings/ObjectLines.h"
#include "settings/file/IniDocument.h"
#include "settings/file/SettingsError.h"
#include "settings/file/SettingsLayout.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

// Text that code page 932 cannot hold is stored with the geta mark (〓) in
// place of each such character rather than refused: one stray character must
// not cost the user every other value of the save, and the mark shows the loss
// where the value comes back.
std::string ToCp932(const QString &text)
{
    return QStringToCp932Lossy(text);
}

// A value the find events may take as a number: decimal with an optional sign,
// or hexadecimal written with "0x" or "$" (the scan turns one into the other).
std::optional<int> ScannedInteger(std::string_view value)
{
    if (value.size() > 1 && value.front() == '$')
        return ParseIniInteger("0x" + std::string(value.substr(1)));
    return ParseIniInteger(value);
}

} // namespace

// ---------------------------------------------------------------- TCustomSaveProps

TCustomSaveProps::TCustomSaveProps(QWidget *owner)
    : QObject(owner)
    , FOwner(owner)
{
    if (owner)
        owner->installEventFilter(this);
}

bool TCustomSaveProps::AutoLoad() const
{
    return FAutoLoad;
}

void TCustomSaveProps::SetAutoLoad(bool autoLoad)
{
    FAutoLoad = autoLoad;
}

bool TCustomSaveProps::AutoSave() const
{
    return FAutoSave;
}

void TCustomSaveProps::SetAutoSave(bool autoSave)
{
    FAutoSave = autoSave;
}

TRestorePlacement TCustomSaveProps::RestorePlacement() const
{
    return FRestorePlacement;
}

void TCustomSaveProps::SetRestorePlacement(TRestorePlacement placement)
{
    if (placement.Contains(TRestoreKind::Enabled) && !(FOwner && FOwner->isWindow()))
        throw TSettingsError(QStringLiteral(u"Owner が TForm でないと設定できません"));
    FRestorePlacement = placement;
}

TProps &TCustomSaveProps::Props()
{
    return FProps;
}

void TCustomSaveProps::SetProps(const TProps &props)
{
    FProps.Assign(props);
}

const QStringList &TCustomSaveProps::FindKeys() const
{
    return FFindKeys;
}

void TCustomSaveProps::SetFindKeys(const QStringList &sections)
{
    FFindKeys = sections;
}

bool TCustomSaveProps::OwnerIsMainWindow() const
{
    return FOwnerIsMainWindow;
}

void TCustomSaveProps::SetOwnerIsMainWindow(bool isMainWindow)
{
    FOwnerIsMainWindow = isMainWindow;
}

void TCustomSaveProps::Load()
{
    if (OnBeforeLoad) {
        try {
            OnBeforeLoad(this);
        } catch (...) {
            // Preparing for the load is optional; the settings still load.
        }
    }
    const TReadBracket bracket(*this);
    const QScopedValueRollback<bool> loading(FLoading, true);
    for (int i = 0; i < FProps.Count(); ++i)
        if (FProps[i].IsUsable())
            LoadEntry(FProps[i]);
    if (OnFindOrdValue || OnFindStrValue)
        ScanFindKeys();
    if (FRestorePlacement.Contains(TRestoreKind::Enabled))
        LoadPlacement();
    if (OnAfterLoad)
        OnAfterLoad(this);
}

void TCustomSaveProps::Save()
{
    if (FLoading)
        return;
    InWriteBracket([this] {
        {
            const QScopedValueRollback<bool> saving(FSaving, true);
            for (int i = 0; i < FProps.Count(); ++i)
                if (FProps[i].IsUsable())
                    SaveEntry(FProps[i]);
            if (FRestorePlacement.Contains(TRestoreKind::Enabled))
                SavePlacement();
        }
        if (OnAfterSave)
            OnAfterSave(this);
    });
}

void TCustomSaveProps::LoadEntry(TProp &entry)
{
    const QString section = entry.Section();
    const QString key = entry.Key();
    switch (entry.Kind()) {
    case pkOrdinal:
        if (ValueExists(section, key))
            entry.SetValue(ReadInteger(section, key));
        break;
    case pkString:
        if (ValueExists(section, key))
            entry.SetValue(ReadString(section, key));
        break;
    case pkFloat:
        if (ValueExists(section, key))
            entry.SetValue(ReadFloat(section, key));
        break;
    case pkObject: {
        QVariant value = entry.Value();
        if (ReadObject(section, key, value))
            entry.SetValue(value);
        break;
    }
    case pkNone:
        break;
    }
}

void TCustomSaveProps::SaveEntry(const TProp &entry)
{
    const QString section = entry.Section();
    const QString key = entry.Key();
    switch (entry.Kind()) {
    case pkOrdinal:
        WriteInteger(section, key, OrdinalOf(entry.Value()));
        break;
    case pkString:
        WriteString(section, key, entry.Value().toString());
        break;
    case pkFloat:
        WriteFloat(section, key, entry.Value().toDouble());
        break;
    case pkObject:
        WriteObject(section, key, entry.Value());
        break;
    case pkNone:
        break;
    }
}

void TCustomSaveProps::ScanFindKeys()
{
    // A handler may change FindKeys; this load scans the list it started with.
    const QStringList sections = FFindKeys;
    for (const QString &section : sections)
        ScanSection(section);
}

void TCustomSaveProps::SetPlacementSection(const QString &section)
{
    FPlacementSection = section;
}

QString TCustomSaveProps::PlacementSection() const
{
    return FPlacementSection.isEmpty() ? QLatin1String(ini::WindowPlacement::Section) : FPlacementSection;
}

QString TCustomSaveProps::PlacementKey(size_t index) const
{
    const QLatin1String suffix(ini::WindowPlacement::KeySuffixes.at(index));
    return FPlacementSection.isEmpty() ? FiledName(*FOwner) + suffix : QString(suffix);
}

void TCustomSaveProps::LoadPlacement()
{
    std::array<int, ini::WindowPlacement::KeySuffixes.size()> fields{};
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString key = PlacementKey(i);
        if (!ValueExists(PlacementSection(), key))
            return;
        fields[i] = ReadInteger(PlacementSection(), key);
    }
    ApplyPlacement(*FOwner, TPlacementValues{fields[0], fields[1], fields[2], fields[3], fields[4]},
                   FRestorePlacement);
}

void TCustomSaveProps::SavePlacement()
{
    const bool applicationMinimized = FOwnerIsMainWindow && IsApplicationMinimized && IsApplicationMinimized();
    const TPlacementValues values = CapturePlacement(*FOwner, applicationMinimized);
    const std::array<int, ini::WindowPlacement::KeySuffixes.size()> fields{values.Left, values.Top, values.Right,
                                                                            values.Bottom, values.State};
    for (size_t i = 0; i < fields.size(); ++i)
        WriteInteger(PlacementSection(), PlacementKey(i), fields[i]);
}

bool TCustomSaveProps::Loading() const
{
    return FLoading;
}

void TCustomSaveProps::CheckUnique(const QString &section, const QString &key) const
{
    if (FSaving || !FProps.IsTaken(section, key))
        return;
    // arg() with both names at once: a "%2" inside the section name stays as it is.
    throw TSettingsError(QStringLiteral(u"セクション名 %1 とキー名 %2 の組み合わせが重複しています").arg(section, key));
}

bool TCustomSaveProps::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FOwner) {
        if (event->type() == QEvent::Polish && FAutoLoad)
            RunFromEvent(&TCustomSaveProps::Load);
        else if (event->type() == QEvent::Close && FAutoSave)
            RunFromEvent(&TCustomSaveProps::Save);
    }
    return QObject::eventFilter(watched, event);
}

void TCustomSaveProps::RunFromEvent(void (TCustomSaveProps::*operation)())
{
    // Nothing may be thrown through Qt's event dispatch, and no caller is
    // there to tell: the error output is the only place left.
    try {
        (this->*operation)();
    } catch (const std::exception &error) {
        qWarning().noquote() << QString::fromUtf8(error.what());
    } catch (...) {
        qWarning("settings: an event handler failed");
    }
}

TCustomSaveProps::TReadBracket::TReadBracket(TCustomSaveProps &props) : FProps(props)
{
    FProps.BeginRead();
}

TCustomSaveProps::TReadBracket::~TReadBracket()
{
    FProps.EndRead();
}

// ---------------------------------------------------------------- TIniSaveProps

TIniSaveProps::TIniSaveProps(QWidget *owner) : TCustomSaveProps(owner), FStorage(std::make_shared<TIniFileStorage>()) {}

TIniSaveProps::~TIniSaveProps() = default;

const QString &TIniSaveProps::FileName() const
{
    return FFileName;
}

void TIniSaveProps::SetFileName(const QString &fileName)
{
    FFileName = fileName;
}

QString TIniSaveProps::FilePath() const
{
    return FFileName.isEmpty() ? DefaultSettingsPath() : FFileName;
}

void TIniSaveProps::SetStorage(std::shared_ptr<TIniStorage> storage)
{
    FStorage = std::move(storage);
}

TIniDocument &TIniSaveProps::OpenDocument() const
{
    if (!FIniFile)
        throw std::logic_error("settings document used outside BeginRead/EndRead or BeginWrite/EndWrite");
    return *FIniFile;
}

void TIniSaveProps::BeginRead()
{
    if (!FIniFile)
        FIniFile = std::make_unique<TIniDocument>(TIniDocument::Parse(FStorage->Read(FilePath()).value_or("")));
    ++FOpenCount;
}

void TIniSaveProps::EndRead()
{
    FOpenCount = std::max(FOpenCount - 1, 0);
    if (FOpenCount == 0)
        FIniFile.reset();
}

void TIniSaveProps::BeginWrite()
{
    BeginRead();
}

void TIniSaveProps::EndWrite()
{
    FOpenCount = std::max(FOpenCount - 1, 0);
    if (FOpenCount > 0 || !FIniFile)
        return;
    FStorage->Replace(FilePath(), FIniFile->Serialize());
    FIniFile.reset();
}

int TIniSaveProps::ReadInteger(const QString &section, const QString &key)
{
    const TReadBracket bracket(*this);
    return FIniFile->ReadInteger(ToCp932(section), ToCp932(key), 0);
}

QString TIniSaveProps::ReadString(const QString &section, const QString &key)
{
    const TReadBracket bracket(*this);
    return Cp932ToQString(FIniFile->ReadString(ToCp932(section), ToCp932(key), ""));
}

double TIniSaveProps::ReadFloat(const QString &section, const QString &key)
{
    const TReadBracket bracket(*this);
    return FIniFile->ReadFloat(ToCp932(section), ToCp932(key), 0.0);
}

bool TIniSaveProps::ValueExists(const QString &section, const QString &key)
{
    const TReadBracket bracket(*this);
    return FIniFile->ValueExists(ToCp932(section), ToCp932(key));
}

void TIniSaveProps::WriteInteger(const QString &section, const QString &key, int value)
{
    CheckUnique(section, key);
    InWriteBracket([&] { FIniFile->WriteInteger(ToCp932(section), ToCp932(key), value); });
}

void TIniSaveProps::WriteString(const QString &section, const QString &key, const QString &value)
{
    CheckUnique(section, key);
    InWriteBracket([&] { FIniFile->WriteString(ToCp932(section), ToCp932(key), ToCp932(value)); });
}

void TIniSaveProps::WriteFloat(const QString &section, const QString &key, double value)
{
    CheckUnique(section, key);
    InWriteBracket([&] { FIniFile->WriteFloat(ToCp932(section), ToCp932(key), value); });
}

bool TIniSaveProps::ReadObject(const QString &section, const QString &keyPrefix, QVariant &value)
{
    const TIniDocument &document = OpenDocument();
    const std::string prefix = ToCp932(keyPrefix);
    QStringList lines;
    for (const TIniEntry &entry : document.ReadSectionValues(ToCp932(section)))
        if (SameIniName(std::string_view(entry.Key).substr(0, prefix.size()), prefix))
            lines << Cp932ToQString(entry.Value);
    return LinesToObject(lines, value);
}

void TIniSaveProps::WriteObject(const QString &section, const QString &keyPrefix, const QVariant &value)
{
    TIniDocument &document = OpenDocument();
    const QStringList lines = ObjectToLines(value);
    for (qsizetype i = 0; i < lines.size(); ++i)
        document.WriteString(ToCp932(section), ToCp932(keyPrefix + QString::number(i)), ToCp932(lines[i]));
}

void TIniSaveProps::ScanSection(const QString &section)
{
    const std::vector<TIniEntry> entries = OpenDocument().ReadSectionValues(ToCp932(section));
    bool Continue = true;
    for (const TIniEntry &entry : entries) {
        if (entry.Key.empty() || entry.Value.empty())
            continue;
        const QString key = Cp932ToQString(entry.Key);
        const std::optional<int> number = OnFindOrdValue ? ScannedInteger(entry.Value) : std::nullopt;
        if (number)
            OnFindOrdValue(this, section, key, *number, Continue);
        else if (OnFindStrValue)
            OnFindStrValue(this, section, key, Cp932ToQString(entry.Value), Continue);
        if (!Continue)
            return;
    }
}

void TIniSaveProps::ClearSection(const QString &section)
{
    InWriteBracket([&] {
        TIniDocument &document = OpenDocument();
        const std::string name = ToCp932(section);
        for (const std::string &key : document.ReadSection(name))
            document.DeleteKey(name, key);
    });
}

void TIniSaveProps::Save()
{
    if (Loading())
        return;
    InWriteBracket([this] {
        for (int i = 0; i < Props().Count(); ++i)
            if (Props()[i].IsUsable() && Props()[i].Kind() == pkObject)
                ClearSection(Props()[i].Section());
        TCustomSaveProps::Save();
    });
}

} // namespace kpx
