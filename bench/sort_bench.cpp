// Times the list window on a large entry list: opening it, and sorting it by
// "ファイルサイズ" and by "ＤＬリンク名" with a header click, each in a fresh
// window (so each click sorts ascending). Runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
//
//   build/bench/sort_bench [movies=100000] [rounds=3]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "pages/EntryList.h"
#include "settings/file/FixedOptions.h"
#include "settings/file/IniStorage.h"
#include "sort/SortRow.h"
#include "sort/kpx_sort.h"
#include "text/Cp932.h"

using Clock = std::chrono::steady_clock;

namespace {

// Names in random order, half of them Japanese, as a real folder gives them.
std::vector<kpx::TRecFileData> MakeMovies(int count)
{
    std::mt19937 random(2024);
    const std::string kana = kpx::Sjis("映画の記録");
    std::vector<kpx::TRecFileData> movies(static_cast<size_t>(count));
    for (kpx::TRecFileData &movie : movies) {
        const std::string number = std::to_string(random() % 1000000);
        movie.OrgName = (random() % 2 ? kana : std::string("clip")) + number + ".amc";
        movie.CopyName = "mv" + number + ".amc";
        movie.FileSize = static_cast<std::int64_t>(random() % 5000000);
        movie.LinkName = (random() % 2 ? kana : std::string("Link")) + number;
        movie.SaveName = movie.LinkName;
        movie.DlKind = static_cast<std::int32_t>(random() % 2);
        movie.SoundKind = static_cast<std::int32_t>(random() % 3);
        movie.NoVideo = random() % 2 == 0;
        movie.NativeName = kpx::Cp932ToUtf8(movie.OrgName);
    }
    return movies;
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct RoundTimes
{
    double Open;
    double Sort;
};

// Opens a window on `list`, clicks the header of `column` and closes it again.
RoundTimes OpenAndSort(kpx::TEntryList &list, const kpx::TAppOptions &options, int column)
{
    const auto start = Clock::now();
    kpx::Tkpx_sortFrm window(list, options, nullptr);
    window.show();
    QApplication::processEvents();
    const auto opened = Clock::now();

    auto *header = window.findChild<QHeaderView *>(QStringLiteral("hdctl_sort"));
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QApplication::processEvents();
    const auto sorted = Clock::now();
    window.hide(); // leaves the entry list in its generated order for the next round
    return {Seconds(opened - start), Seconds(sorted - opened)};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int movies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    // Each window saves its column widths and placement; keep them out of the real settings.
    const QTemporaryDir settingsDir;
    const kpx::TSettingsPathOverride settingsPath(settingsDir.filePath(QStringLiteral("sort_bench.ini")));

    kpx::TEntryList list;
    list.FEntries = MakeMovies(movies);
    list.FEntryCount = movies;
    kpx::LayOutPages(list, 3);
    const kpx::TFixedOptions options;

    std::vector<double> open, bySize, byLink;
    for (int round = 0; round < rounds; ++round) {
        const RoundTimes size = OpenAndSort(list, options, kpx::scFileSize);
        const RoundTimes link = OpenAndSort(list, options, kpx::scLinkName);
        open.push_back(size.Open);
        open.push_back(link.Open);
        bySize.push_back(size.Sort);
        byLink.push_back(link.Sort);
    }
    std::printf("%d movies, median of %d rounds\n", movies, rounds);
    std::printf("open the list window:        %.3f s\n", Median(open));
    std::printf("sort by \"ファイルサイズ\":     %.3f s\n", Median(bySize));
    std::printf("sort by \"ＤＬリンク名\":       %.3f s\n", Median(byLink));
    return 0;
}
