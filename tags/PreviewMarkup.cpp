#include "tags/PreviewMarkup.h"

#include <QStringList>

#include "pages/RecFileData.h"
#include "sort/SortRow.h"

namespace kpx {

namespace {

constexpr QLatin1String ObjectStart("<object");
constexpr QLatin1String ObjectEnd("</object>");

// Where the tag starting at `from` ends (its ">"), past quoted values; -1 for none.
qsizetype TagEnd(QStringView text, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return -1;
}

// The value of an attribute in one tag's text, as written; empty when absent.
QString Attribute(QStringView tag, QStringView name)
{
    qsizetype at = 0;
    while ((at = tag.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
        const bool startsName = at > 0 && tag.at(at - 1).isSpace();
        qsizetype i = at + name.size();
        at = i;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (!startsName || i >= tag.size() || tag.at(i) != u'=')
            continue;
        ++i;
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        if (i < tag.size() && (tag.at(i) == u'"' || tag.at(i) == u'\'')) {
            const qsizetype close = tag.indexOf(tag.at(i), i + 1);
            return (close < 0 ? tag.mid(i + 1) : tag.mid(i + 1, close - i - 1)).toString();
        }
        qsizetype end = i;
        while (end < tag.size() && !tag.at(end).isSpace() && tag.at(end) != u'>')
            ++end;
        return tag.mid(i, end - i).toString();
    }
    return {};
}

// The value of <param name="..." value="..."> inside a block.
QString ParamValue(QStringView block, QStringView paramName)
{
    qsizetype at = 0;
    while ((at = block.indexOf(QLatin1String("<param"), at, Qt::CaseInsensitive)) >= 0) {
        qsizetype end = TagEnd(block, at);
        if (end < 0)
            end = block.size();
        const QStringView tag = block.mid(at, end - at);
        if (Attribute(tag, u"name").compare(paramName, Qt::CaseInsensitive) == 0)
            return Attribute(tag, u"value");
        at = end;
    }
    return {};
}

template <size_t N>
int Prefix(QStringView text, const std::array<std::string_view, N> &marks)
{
    // The longest mark wins: the empty mark of a picture matches anything.
    int found = -1;
    for (size_t i = 0; i < N; ++i)
        if (text.startsWith(QLatin1String(marks[i].data(), static_cast<qsizetype>(marks[i].size())))
            && (found < 0 || marks[i].size() > marks[static_cast<size_t>(found)].size()))
            found = static_cast<int>(i);
    return found;
}

QString Caption(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// "ダウンロード / 音声 QLREP / 映像なし" from "devdl1bq"; the value itself when it
// is no disposition the program writes.
QString DispositionText(const QString &disposition)
{
    QStringView rest(disposition);
    const int kind = Prefix(rest, DispositionPrefixes);
    if (kind < 0)
        return disposition;
    rest = rest.mid(static_cast<qsizetype>(DispositionPrefixes[static_cast<size_t>(kind)].size()));
    const int noVideo = Prefix(rest, NoVideoMarks);
    rest = rest.mid(static_cast<qsizetype>(NoVideoMarks[static_cast<size_t>(noVideo)].size()));
    const int sound = Prefix(rest, SoundMarks);
    if (sound < 0 || rest.size() != static_cast<qsizetype>(SoundMarks[static_cast<size_t>(sound)].size()))
        return disposition;
    QStringList parts{Caption(DlKindCaptions[static_cast<size_t>(kind)]),
                      QStringLiteral("音声 ") + Caption(SoundKindCaptions[static_cast<size_t>(sound)])};
    if (noVideo == 1)
        parts << QStringLiteral("映像なし");
    return parts.join(QStringLiteral(" / "));
}

// The standby text keeps its entity references, as the handset reads them;
// only what would open a tag here is escaped.
QString AsContent(QString text)
{
    return text.replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
}

QString DownloadLine(QStringView block, QStringView startTag)
{
    return QStringLiteral("<div style=\"margin-top:4px; margin-bottom:4px\"><a href=\"%1\">%2</a><br />"
                          "<span style=\"color:#606060\">%3</span></div>")
        .arg(Attribute(startTag, u"data").toHtmlEscaped(), AsContent(Attribute(startTag, u"standby")),
             DispositionText(ParamValue(block, u"disposition")).toHtmlEscaped());
}

} // namespace

QString HandsetHtml(const QString &page)
{
    QString html;
    html.reserve(page.size());
    qsizetype at = 0;
    for (qsizetype start; (start = page.indexOf(ObjectStart, at, Qt::CaseInsensitive)) >= 0;) {
        const qsizetype tagEnd = TagEnd(page, start);
        const qsizetype end = tagEnd < 0 ? -1 : page.indexOf(ObjectEnd, tagEnd, Qt::CaseInsensitive);
        if (end < 0)
            break;
        html += QStringView(page).mid(at, start - at);
        const QStringView block = QStringView(page).mid(start, end - start);
        html += DownloadLine(block, block.left(tagEnd - start));
        at = end + ObjectEnd.size();
    }
    html += QStringView(page).mid(at);
    return html;
}

} // namespace kpx
