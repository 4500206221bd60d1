#include "settings/ObjectLines.h"

#include <optional>

#include <QFont>
#include <QMetaProperty>

#include "settings/PropertyAccess.h"
#include "settings/file/IniDocument.h"

namespace kpx {

namespace {

const QString StringListTag = QStringLiteral("QStringList");
const QString FontTag = QStringLiteral("QFont");
const QString ObjectTagPrefix = QStringLiteral("object ");

QString Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

QString Unescape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] == u'\\' && (next == u'\\' || next == u'r' || next == u'n')) {
            out += next == u'r' ? QChar(u'\r') : next == u'n' ? QChar(u'\n') : QChar(u'\\');
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Ascii(const QString &text)
{
    return text.toLatin1().toStdString();
}

std::optional<QString> ScalarText(const QVariant &value, TPropKind kind)
{
    switch (kind) {
    case pkOrdinal:
        return QString::number(OrdinalOf(value));
    case pkFloat:
        return QString::fromStdString(FormatIniFloat(value.toDouble()));
    case pkString:
        return Escape(value.toString());
    default:
        return std::nullopt;
    }
}

std::optional<QVariant> ScalarValue(const QString &text, TPropKind kind)
{
    switch (kind) {
    case pkOrdinal:
        if (const auto n = ParseIniInteger(Ascii(text)))
            return QVariant(*n);
        return std::nullopt;
    case pkFloat:
        if (const auto d = ParseIniFloat(Ascii(text)))
            return QVariant(*d);
        return std::nullopt;
    case pkString:
        return QVariant(Unescape(text));
    default:
        return std::nullopt;
    }
}

QStringList ObjectPropertyLines(const QObject &object)
{
    QStringList lines{ObjectTagPrefix + QString::fromLatin1(object.metaObject()->className())};
    const QMetaObject &meta = *object.metaObject();
    for (int i = 0; i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isStored() || qstrcmp(property.name(), "objectName") == 0)
            continue;
        if (const auto text = ScalarText(property.read(&object), PropertyKind(property)))
            lines << QString::fromLatin1(property.name()) + u'=' + *text;
    }
    return lines;
}

bool FillObject(QObject &object, const QStringList &lines)
{
    if (lines.front() != ObjectTagPrefix + QString::fromLatin1(object.metaObject()->className()))
        return false;
    const QMetaObject &meta = *object.metaObject();
    for (const QString &line : lines.mid(1)) {
        const qsizetype equalsAt = line.indexOf(u'=');
        const int index = equalsAt < 0 ? -1 : meta.indexOfProperty(line.left(equalsAt).toLatin1().constData());
        if (index < 0)
            continue;
        const QMetaProperty property = meta.property(index);
        if (const auto value = ScalarValue(line.mid(equalsAt + 1), PropertyKind(property)))
            WriteQuietly(object, property, *value);
    }
    return true;
}

} // namespace

QStringList ObjectToLines(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QStringList>()) {
        QStringList lines{StringListTag};
        for (const QString &item : value.toStringList())
            lines << Escape(item);
        return lines;
    }
    if (value.metaType() == QMetaType::fromType<QFont>())
        return {FontTag, value.value<QFont>().toString()};
    if (const QObject *object = value.value<QObject *>())
        return ObjectPropertyLines(*object);
    return {};
}

bool LinesToObject(const QStringList &lines, QVariant &value)
{
    if (lines.isEmpty())
        return false;
    if (value.metaType() == QMetaType::fromType<QStringList>()) {
        if (lines.front() != StringListTag)
            return false;
        QStringList items;
        for (const QString &line : lines.mid(1))
            items << Unescape(line);
        value = items;
        return true;
    }
    if (value.metaType() == QMetaType::fromType<QFont>()) {
        QFont font;
        if (lines.size() != 2 || lines.front() != FontTag || !font.fromString(lines[1]))
            return false;
        value = font;
        return true;
    }
    if (QObject *object = value.value<QObject *>())
        return FillObject(*object, lines);
    return false;
}

} // namespace kpx
