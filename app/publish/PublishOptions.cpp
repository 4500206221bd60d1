#include "app/publish/PublishOptions.h"

#include <array>

#include <QRegularExpression>

#include "settings/file/SettingsLayout.h"

namespace kpx {

namespace {

// Stores an option's value; returns the reason when the value is not one the option takes.
using TStore = std::optional<QString> (*)(TPublishOptions &options, const QString &value);

// An option with a value: a text kept as given, or one that Store checks.
struct TValueOption
{
    const char *Name;
    std::optional<QString> TPublishOptions::*Text;
    TStore Store;
};

std::optional<QString> StorePageItemCount(TPublishOptions &options, const QString &value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
    const int count = digits.match(value).hasMatch() ? value.toInt() : 0;
    if (count < ini::Html::ItemCount.Min || count > ini::Html::ItemCount.Max)
        return QStringLiteral("--per-page には %1 から %2 までの数を指定してください: %3")
            .arg(ini::Html::ItemCount.Min)
            .arg(ini::Html::ItemCount.Max)
            .arg(value);
    options.PageItemCount = count;
    return std::nullopt;
}

std::optional<QString> StorePolicy(TPublishOptions &options, const QString &value)
{
    struct TPolicyName
    {
        const char *Name;
        TOverwritePolicy Policy;
    };
    static constexpr std::array<TPolicyName, 5> names{{
        {"ask", TOverwritePolicy::Confirm},
        {"overwrite", TOverwritePolicy::Overwrite},
        {"skip", TOverwritePolicy::Skip},
        {"refuse", TOverwritePolicy::WarnAndStop},
        {"update", TOverwritePolicy::Update},
    }};
    static_assert(names.size() == LastOverwriteIndex - FirstOverwriteIndex + 1);
    for (const TPolicyName &name : names) {
        if (value == QLatin1String(name.Name)) {
            options.Policy = name.Policy;
            return std::nullopt;
        }
    }
    return QStringLiteral("--policy には ask, overwrite, skip, refuse, update のいずれかを指定してください: %1").arg(value);
}

std::optional<QString> StoreDate(TPublishOptions &options, const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(value);
    if (match.hasMatch()) {
        const std::chrono::year_month_day date{std::chrono::year(match.captured(1).toInt()),
                                               std::chrono::month(match.captured(2).toUInt()),
                                               std::chrono::day(match.captured(3).toUInt())};
        if (date.ok()) {
            options.Date = date;
            return std::nullopt;
        }
    }
    return QStringLiteral("--date には YYYY-MM-DD 形式の日付を指定してください: %1").arg(value);
}

std::optional<QString> StoreHtmlFileName(TPublishOptions &options, const QString &value)
{
    // The pages go into the html folder; a name must not lead anywhere else.
    if (value.contains(QLatin1Char('/')) || value == QLatin1String(".") || value == QLatin1String(".."))
        return QStringLiteral("--name にはフォルダを含まないファイル名を指定してください: %1").arg(value);
    options.HtmlFileName = value;
    return std::nullopt;
}

constexpr std::array<TValueOption, 8> ValueOptions{{
    {"--ini", &TPublishOptions::IniFile, nullptr},
    {"--source", &TPublishOptions::SourceDir, nullptr},
    {"--html-dir", &TPublishOptions::HtmlDir, nullptr},
    {"--movie-dir", &TPublishOptions::MovieDir, nullptr},
    {"--name", nullptr, StoreHtmlFileName},
    {"--per-page", nullptr, StorePageItemCount},
    {"--policy", nullptr, StorePolicy},
    {"--date", nullptr, StoreDate},
}};

bool *FlagOf(TPublishOptions &options, const QString &name)
{
    if (name == QLatin1String("--dry-run"))
        return &options.DryRun;
    if (name == QLatin1String("--quiet"))
        return &options.Quiet;
    if (name == QLatin1String("--help"))
        return &options.Help;
    if (name == QLatin1String("--version"))
        return &options.Version;
    return nullptr;
}

const TValueOption *FindValueOption(const QString &name)
{
    for (const TValueOption &option : ValueOptions)
        if (name == QLatin1String(option.Name))
            return &option;
    return nullptr;
}

} // namespace

std::variant<TPublishOptions, TUsageError> ParsePublishOptions(const QStringList &arguments)
{
    TPublishOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--")))
            return TUsageError{QStringLiteral("余分な引数です: %1").arg(argument)};
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (bool *flag = FlagOf(options, name)) {
            if (equals >= 0)
                return TUsageError{QStringLiteral("%1 は値をとりません。").arg(name)};
            *flag = true;
            continue;
        }
        const TValueOption *option = FindValueOption(name);
        if (!option)
            return TUsageError{QStringLiteral("不明なオプションです: %1").arg(name)};
        if (equals < 0 && i + 1 >= arguments.size())
            return TUsageError{QStringLiteral("%1 には値が必要です。").arg(name)};
        const QString value = equals < 0 ? arguments[++i] : argument.mid(equals + 1);
        if (value.isEmpty())
            return TUsageError{QStringLiteral("%1 の値が空です。").arg(name)};
        if (option->Text)
            options.*(option->Text) = value;
        else if (const std::optional<QString> reason = option->Store(options, value))
            return TUsageError{*reason};
    }
    return options;
}

QString PublishUsage()
{
    return QStringLiteral(
        "使い方: kpx_publish [オプション]\n"
        "元ezmovieディレクトリの *.amc をコピーし、ページ (Shift_JIS) を作成します。\n"
        "既定値は Kinopage Lite の設定ファイル kpx_app.ini から読みます (書き込みはしません)。\n"
        "\n"
        "  --ini FILE          設定ファイル (既定: kpx_app が使う kpx_app.ini)\n"
        "  --source DIR        元ezmovieディレクトリ\n"
        "  --html-dir DIR      htmlディレクトリ\n"
        "  --movie-dir DIR     ezmovieディレクトリ (既定: --html-dir を指定したときはそのフォルダ)\n"
        "  --name FILE         htmlファイル名 (既定: ezmovie.html)\n"
        "  --per-page N        １ページの掲載ファイル数 (%1〜%2)\n"
        "  --policy POLICY     同名ファイルがあった場合: ask (確認), overwrite (上書き),\n"
        "                      skip (スキップ), refuse (警告後、実行しない),\n"
        "                      update (更新されたファイルのみ上書きする: 大きさか更新日時の\n"
        "                      違う動画と、内容の違うページだけを書き換える)\n"
        "  --date YYYY-MM-DD   日本語ファイル名の変換形式に使う日付 (既定: 今日)\n"
        "  --dry-run           コピーとページの予定を表示するだけで、何も書き込まない\n"
        "                      (1 ファイル 1 行: 処理、種類、書き込み先をタブで区切る。\n"
        "                      書き込み先の制御文字と \\ は \\t, \\n, \\\\, \\xHH と書く)\n"
        "  --quiet             進行状況とまとめを表示しない\n"
        "  --help              この説明を表示する\n"
        "  --version           バージョンを表示する\n"
        "\n"
        "ask は標準入力が端末のときだけ確認し、そうでなければ置き換えません。\n"
        "終了コード: 0 成功、1 実行の中止またはファイルの失敗、\n"
        "2 使い方の誤り (設定ファイルや指定したフォルダがない場合を含む)\n")
        .arg(ini::Html::ItemCount.Min)
        .arg(ini::Html::ItemCount.Max);
}

} // namespace kpx
