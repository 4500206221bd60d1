// The persistence component: a window's values between runs. May touch: the settings file, the window's controls.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include "settings/DeclaredProps.h"
#include "settings/PropertyAccess.h"
#include "settings/WindowPlacement.h"
#include "settings/file/IniStorage.h"

class QWidget;

namespace kpx {

class TIniDocument;
// Keeps a window's declared control values, extra values of its own and its
// placement between runs. Errors are TSettingsError (a message for the user) and
// pass to the caller of Load, Save and the value operations; an exception
// leaves no bracket open. The owner is the window; the component is its child.
class TCustomSaveProps : public QObject
{
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TCustomSaveProps *sender)>;
    using TFindOrdValueEvent = std::function<void(TCustomSaveProps *sender, const QString &section,
                                                  const QString &key, int value, bool &Continue)>;
    using TFindStrValueEvent = std::function<void(TCustomSaveProps *sender, const QString &section,
                                                  const QString &key, const QString &value, bool &Continue)>;

    explicit TCustomSaveProps(QWidget *owner);

    // Load when the owner is first polished (just before it is first shown).
    bool AutoLoad() const;
    void SetAutoLoad(bool autoLoad);
    // Save when the owner is closed: Qt tells a widget of its destruction only
    // after its controls are gone, so the close is the last moment at which
    // every control still holds its value.
    bool AutoSave() const;
    void SetAutoSave(bool autoSave);

    TRestorePlacement RestorePlacement() const;
    // Throws TSettingsError when the set holds Enabled and the owner is not a
    // top-level window.
    void SetRestorePlacement(TRestorePlacement placement);

    // The placement goes under the window's name in [WindowPlacement], or,
    // for a window given a section of its own, under the bare key names there.
    void SetPlacementSection(const QString &section);

    TProps &Props();
    void SetProps(const TProps &props);
    // Sections whose every key goes to the Find events on load.
    const QStringList &FindKeys() const;
    void SetFindKeys(const QStringList &sections);

    // The owner is the application's main window: its placement is saved as
    // minimized when IsApplicationMinimized says the whole application is.
    bool OwnerIsMainWindow() const;
    void SetOwnerIsMainWindow(bool isMainWindow);
    std::function<bool()> IsApplicationMinimized = AllTopLevelWindowsMinimized;

    // Each is called only when set. The sender is this component.
    TNotifyEvent OnBeforeLoad; // an exception it throws is ignored
    TNotifyEvent OnAfterLoad;
    TNotifyEvent OnAfterSave; // the file is still open: its writes join the save
    TFindOrdValueEvent OnFindOrdValue;
    TFindStrValueEvent OnFindStrValue;

    // Defaults when absent or not a number: 0, empty, 0.0.
    virtual int ReadInteger(const QString &section, const QString &key) = 0;
    virtual QString ReadString(const QString &section, const QString &key) = 0;
    virtual double ReadFloat(const QString &section, const QString &key) = 0;
    // Throw the clash error for a section and key that a declared entry owns.
    virtual void WriteInteger(const QString &section, const QString &key, int value) = 0;
    virtual void WriteString(const QString &section, const QString &key, const QString &value) = 0;
    virtual void WriteFloat(const QString &section, const QString &key, double value) = 0;
    // Object values (ObjectLines.h) under keyPrefix0, keyPrefix1, ...; only
    // inside a bracket. ReadObject fills value and tells whether it found one.
    virtual bool ReadObject(const QString &section, const QString &keyPrefix, QVariant &value) = 0;
    virtual void WriteObject(const QString &section, const QString &keyPrefix, const QVariant &value) = 0;
    // Hands the section's keys to the Find events; only inside a bracket.
    virtual void ScanSection(const QString &section) = 0;
    // Brackets nest; the outermost one reads the file, and when it is closed
    // by EndWrite writes it back. EndRead must not throw: closing the
    // outermost bracket with it drops the document unwritten.
    virtual void BeginRead() = 0;
    virtual void EndRead() = 0;
    virtual void BeginWrite() = 0;
    virtual void EndWrite() = 0;
    virtual void Load();
    // Does nothing while Load runs (a handler asking to save during Load).
    virtual void Save();
    virtual bool ValueExists(const QString &section, const QString &key) = 0;

protected:
    // BeginRead now, EndRead when the scope ends, however it ends.
    class TReadBracket
    {
    public:
        explicit TReadBracket(TCustomSaveProps &props);
        ~TReadBracket();
        TReadBracket(const TReadBracket &) = delete;
        TReadBracket &operator=(const TReadBracket &) = delete;

    private:
        TCustomSaveProps &FProps;
    };

    // Runs operation inside a write bracket. On failure the bracket is closed
    // as a read bracket and the failure goes on to the caller: the outermost
    // bracket then drops the document unwritten, so a save that failed part-way
    // (a list section already cleared) leaves the file as it was, and no later
    // bracket writes its remains.
    template <typename Operation>
    void InWriteBracket(Operation &&operation)
    {
        BeginWrite();
        try {
            operation();
        } catch (...) {
            EndRead();
            throw;
        }
        EndWrite();
    }

    bool Loading() const;
    // Throws the clash error when a declared entry owns this section and key,
    // except while Save writes the declared entries themselves.
    void CheckUnique(const QString &section, const QString &key) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LoadEntry(TProp &entry);
    void SaveEntry(const TProp &entry);
    void ScanFindKeys();
    void LoadPlacement();
    void SavePlacement();
    QString PlacementSection() const;
    QString PlacementKey(size_t index) const;
    void RunFromEvent(void (TCustomSaveProps::*operation)());

    QWidget *const FOwner;
    bool FAutoLoad = true;
    bool FAutoSave = true;
    TRestorePlacement FRestorePlacement;
    QString FPlacementSection; // empty: [WindowPlacement]
    TProps FProps;
    QStringList FFindKeys;
    bool FOwnerIsMainWindow = false;
    bool FLoading = false;
    bool FSaving = false;
};

// The settings kept in an INI file (IniDocument.h), read through an TIniStorage.
class TIniSaveProps : public TCustomSaveProps
{
    Q_OBJECT

public:
    explicit TIniSaveProps(QWidget *owner);
    // A document still open is dropped unwritten.
    ~TIniSaveProps() override;

    const QString &FileName() const;
    void SetFileName(const QString &fileName);
    // FileName, or DefaultSettingsPath() when it is empty.
    QString FilePath() const;
    // The file access to use from now on (TIniFileStorage by default).
    void SetStorage(std::shared_ptr<TIniStorage> storage);

    int ReadInteger(const QString &section, const QString &key) override;
    QString ReadString(const QString &section, const QString &key) override;
    double ReadFloat(const QString &section, const QString &key) override;
    void WriteInteger(const QString &section, const QString &key, int value) override;
    void WriteString(const QString &section, const QString &key, const QString &value) override;
    void WriteFloat(const QString &section, const QString &key, double value) override;
    bool ReadObject(const QString &section, const QString &keyPrefix, QVariant &value) override;
    void WriteObject(const QString &section, const QString &keyPrefix, const QVariant &value) override;
    void ScanSection(const QString &section) override;
    void BeginRead() override;
    void EndRead() override;
    void BeginWrite() override;
    // When the write-back fails the document stays open with its changes:
    // the next bracket works on it, and its EndWrite tries again.
    void EndWrite() override;
    // Empties the sections of object entries first, so that a shorter object
    // leaves no keys of a longer one behind.
    void Save() override;
    bool ValueExists(const QString &section, const QString &key) override;

    // Deletes every key of the section (before a list is written anew).
    void ClearSection(const QString &section);

private:
    TIniDocument &OpenDocument() const;

    QString FFileName;
    std::shared_ptr<TIniStorage> FStorage;
    std::unique_ptr<TIniDocument> FIniFile;
    int FOpenCount = 0;
};

} // namespace kpx
