#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QHeaderView>
#include <QStringList>
#include <QTableView>
#include <QTest>

#include "pages/EntryList.h"
#include "settings/file/FixedOptions.h"
#include "settings/file/IniStorage.h"
#include "sort/kpx_sort.h"
#include "support/WidgetSupport.h"
#include "text/Cp932.h"

namespace kpx::test {

// A movie named `name` (UTF-8); the other fields are plain defaults.
inline TRecFileData Movie(std::string_view name, std::int64_t size = 1000)
{
    TRecFileData entry;
    entry.OrgName = Sjis(name);
    entry.CopyName = Sjis(name);
    entry.FileSize = size;
    entry.LinkName = Sjis(name);
    entry.SaveName = Sjis(name);
    entry.NativeName = std::string(name);
    return entry;
}

// Opens the list window on an entry list and drives it as the user does.
// The window keeps its settings in a file of the test's own.
class SortWindowTest : public ::testing::Test
{
protected:
    void Open(std::vector<TRecFileData> entries, int perPage = 3)
    {
        Window.reset(); // saves its settings, as the page settings window's delete does
        TEntryList &list = List;
        list.FEntryCount = static_cast<int>(entries.size());
        list.FEntries = std::move(entries);
        LayOutPages(list, perPage);
        Window = std::make_unique<Tkpx_sortFrm>(List, Options, nullptr);
        Window->show();
    }

    QTableView *Grid() const { return Window->findChild<QTableView *>(QStringLiteral("sg_sort")); }
    QHeaderView *Header() const { return Window->findChild<QHeaderView *>(QStringLiteral("hdctl_sort")); }
    QAbstractButton *Button(const char *name) const
    {
        return Window->findChild<QAbstractButton *>(QLatin1String(name));
    }

    void ClickHeader(int section)
    {
        QHeaderView *header = Header();
        const QPoint middle(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }
    void Click(const char *buttonName) { QTest::mouseClick(Button(buttonName), Qt::LeftButton); }
    void ClickRow(int row)
    {
        QTableView *grid = Grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 0)).center());
    }

    int RowCount() const { return Grid()->model()->rowCount(); }
    int CurrentRow() const { return Grid()->currentIndex().row(); }
    QString Cell(int row, int column) const { return Grid()->model()->index(row, column).data().toString(); }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < RowCount(); ++row)
            texts << Cell(row, column);
        return texts;
    }

    TempDir Dir;
    const std::filesystem::path SettingsFile = Dir / "kpx_app.ini";
    TSettingsPathOverride SettingsPath{QString::fromStdString(SettingsFile.string())};
    TEntryList List;
    TFixedOptions Options;
    std::unique_ptr<Tkpx_sortFrm> Window;
};

} // namespace kpx::test
