#include "app/publish/PublishOptions.h"

#include <array>

#include <QCommandLineParser>
#include <QHash>
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
    {"ini", &TPublishOptions::IniFile, nullptr},
    {"source", &TPublishOptions::SourceDir, nullptr},
    {"html-dir", &TPublishOptions::HtmlDir, nullptr},
    {"movie-dir", &TPublishOptions::MovieDir, nullptr},
    {"name", nullptr, StoreHtmlFileName},
    {"per-page", nullptr, StorePageItemCount},
    {"policy", nullptr, StorePolicy},
    {"date", nullptr, StoreDate},
}};

// An option that takes no value and is set by being there.
struct TFlagOption
{
    const char *Name;
    bool TPublishOptions::*Flag;
};

constexpr std::array<TFlagOption, 4> FlagOptions{{
    {"dry-run", &TPublishOptions::DryRun},
    {"quiet", &TPublishOptions::Quiet},
    {"help", &TPublishOptions::Help},
    {"version", &TPublishOptions::Version},
}};

template <typename TOption, size_t N>
const TOption *FindOption(const std::array<TOption, N> &options, const QString &name)
{
    for (const TOption &option : options)
        if (name == QLatin1String(option.Name))
            return &option;
    return nullptr;
}

// The option as the command line spells it.
QString Dashed(const QString &name)
{
    return QStringLiteral("--") + name;
}

// The parser knows every option by its long name alone: the program has no
// short options, and its own usage text stands in for the parser's.
void DeclareOptions(QCommandLineParser &parser)
{
    for (const TValueOption &option : ValueOptions)
        parser.addOption(QCommandLineOption(QLatin1String(option.Name), QString(), QStringLiteral("value")));
    for (const TFlagOption &option : FlagOptions)
        parser.addOption(QCommandLineOption(QLatin1String(option.Name)));
}

// Why the parser refused the command line, in the program's words: an unknown
// option, a value missing after the last option, or a value given to a flag.
// The parser reads a word after a single dash as short options, all unknown
// here; such a word is an argument the program has no use for.
QString ParseFault(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        const QString option = Dashed(name);
        for (const QString &argument : arguments)
            if (argument == option || argument.startsWith(option + QLatin1Char('=')))
                return QStringLiteral("不明なオプションです: %1").arg(option);
        for (const QString &argument : arguments)
            if (!argument.startsWith(QLatin1String("--")) && argument.startsWith(QLatin1Char('-'))
                && argument.contains(name))
                return QStringLiteral("余分な引数です: %1").arg(argument);
    }
    for (const TValueOption &option : ValueOptions) {
        const QString name = QLatin1String(option.Name);
        if (parser.optionNames().count(name) > parser.values(name).size())
            return QStringLiteral("%1 には値が必要です。").arg(Dashed(name));
    }
    for (const QString &argument : arguments) {
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (name != argument && name.startsWith(QLatin1String("--")) && FindOption(FlagOptions, name.mid(2)))
            return QStringLiteral("%1 は値をとりません。").arg(name);
    }
    return parser.errorText(); // not reached: the parser refuses nothing else
}

} // namespace

std::variant<TPublishOptions, TUsageError> ParsePublishOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    DeclareOptions(parser);
    // The parser skips the first argument, the program's name.
    if (!parser.parse(QStringList(QStringLiteral("kpx_publish")) + arguments))
        return TUsageError{ParseFault(parser, arguments)};
    if (!parser.positionalArguments().isEmpty())
        return TUsageError{QStringLiteral("余分な引数です: %1").arg(parser.positionalArguments().constFirst())};

    // Values are checked in the order given; a repeated option takes its last value.
    TPublishOptions options;
    QHash<QString, qsizetype> valuesTaken;
    for (const QString &name : parser.optionNames()) {
        if (const TFlagOption *flag = FindOption(FlagOptions, name)) {
            options.*(flag->Flag) = true;
            continue;
        }
        const TValueOption *option = FindOption(ValueOptions, name);
        const QString value = parser.values(name).at(valuesTaken[name]++);
        if (value.isEmpty())
            return TUsageError{QStringLiteral("%1 の値が空です。").arg(Dashed(name))};
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
