// Times the page settings window on a long entry list at one movie per page,
// so there is one tab per movie: building the window as the main window does
// (create, Build, shown and painted) and changing to the last page. Runs on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   build/bench/tags_bench [movies=10000] [per page=1] [rounds=5]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>

#include "settings/file/FixedOptions.h"
#include "settings/file/IniStorage.h"
#include "settings/file/SettingsLayout.h"
#include "tags/EntryStore.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_tags.h"
#include "text/Cp932.h"

using Clock = std::chrono::steady_clock;

namespace {

void FillStore(kpx::TEntryStore &store, int movies, int perPage)
{
    kpx::TEntryList &list = store.List;
    list.FEntries.resize(static_cast<size_t>(movies));
    for (int i = 0; i < movies; ++i) {
        kpx::TRecFileData &entry = list.FEntries[static_cast<size_t>(i)];
        entry.LinkName = kpx::Sjis("映画" + std::to_string(i));
        entry.SaveName = entry.LinkName + ".3g2";
        entry.FileSize = 100000 + i;
    }
    list.FEntryCount = movies;
    kpx::LayOutPages(list, perPage);
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int movies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const int perPage = argc > 2 ? kpx::ini::Html::ItemCount.Clamp(std::atoi(argv[2])) : 1;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    QTemporaryDir dir;
    kpx::TSettingsPathOverride settings(dir.filePath(QStringLiteral("tags_bench.ini")));
    kpx::TEntryStore store;
    FillStore(store, movies, perPage);
    kpx::TFixedOptions options;

    std::vector<double> builds;
    std::vector<double> lastPages;
    for (int round = 0; round < rounds; ++round) {
        const Clock::time_point start = Clock::now();
        auto window = std::make_unique<kpx::Tkpx_TagsFrm>(store, options, nullptr);
        window->Build(QStringLiteral("ezmovie.html"));
        QApplication::processEvents(); // layout
        window->repaint();             // and a full paint, whenever the platform would do it
        builds.push_back(Seconds(Clock::now() - start));

        auto *tabs = window->findChild<kpx::TPageTabStrip *>(QStringLiteral("tbc_tags"));
        const Clock::time_point change = Clock::now();
        tabs->SelectTab(tabs->Count() - 1);
        QApplication::processEvents();
        window->repaint();
        lastPages.push_back(Seconds(Clock::now() - change));
        window.reset();
    }

    std::printf("%d movies at %d per page (%d tabs), median of %d rounds\n", movies, perPage,
                store.List.FPageCount, rounds);
    std::printf("build page settings window (create, tabs, panels, shown): %.3f s\n", Median(builds));
    std::printf("change to the last page:                                  %.3f s\n", Median(lastPages));
    return 0;
}
