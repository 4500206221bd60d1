#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QStringList>
#include <QWidget>

#include "settings/SaveProp.h"
#include "settings/file/IniStorage.h"
#include "support/WidgetSupport.h"

namespace kpx::test {

// The real file access, counted; it can be told to fail the next write-backs.
class CountingStorage : public TIniStorage
{
public:
    std::optional<std::string> Read(const QString &path) override;
    void Replace(const QString &path, std::string_view bytes) override;

    int Reads = 0;
    int Writes = 0;
    int FailingWrites = 0;

private:
    TIniFileStorage FDisk;
};

// An object with a property of each kind the component tells apart.
class Sample : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList items MEMBER items)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(int count MEMBER count)
    Q_PROPERTY(double ratio MEMBER ratio)
    Q_PROPERTY(qlonglong big MEMBER big)
    Q_PROPERTY(int readOnly READ readOnly)
    Q_PROPERTY(QObject *child MEMBER child)

public:
    int readOnly() const { return 1; }

    QStringList items;
    QString name;
    int count = 0;
    double ratio = 0.0;
    qlonglong big = 0;
    QObject *child = nullptr;
};

// A window with its persistence component on a settings file in a fresh
// folder; automatic load and save off, as the program's windows have them.
class SavePropTest : public ::testing::Test
{
protected:
    SavePropTest();

    // Another component on the same file and storage, owned by `owner`.
    TIniSaveProps *AddComponent(QWidget &owner);
    // The file written as CP932 from UTF-8 text / read back as UTF-8.
    void WriteIni(std::string_view utf8) const;
    std::string IniText() const;

    TempDir Dir;
    std::filesystem::path File = Dir / "kpx_app.ini";
    std::shared_ptr<CountingStorage> Storage = std::make_shared<CountingStorage>();
    QWidget Window;
    TIniSaveProps *Props;
};

} // namespace kpx::test
