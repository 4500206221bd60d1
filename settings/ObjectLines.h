// The line notation of object values in the settings file. May touch: nothing (pure).
#pragma once

#include <QStringList>
#include <QVariant>

namespace kpx {

// The line notation of object values. Each line becomes one value of a
// numbered run of keys, so no line may hold a line break: text is escaped
// ("\\" for a backslash, "\r", "\n"). The first line names the type:
//   "QStringList"          then one line per item
//   "QFont"                then QFont::toString()
//   "object <class name>"  then "<property>=<value>" for each stored ordinal,
//                          string or float property but objectName
QStringList ObjectToLines(const QVariant &value);

// Applies lines made by ObjectToLines to value; a QObject is filled in place.
// False, with value unchanged, when the lines do not describe a value of
// value's type. Inside an object, a line naming no such property, or with a
// value that does not parse, is skipped.
bool LinesToObject(const QStringList &lines, QVariant &value);

} // namespace kpx
