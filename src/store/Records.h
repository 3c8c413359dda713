#pragma once

#include "store/Group.h"
#include "store/Item.h"

#include <QDateTime>
#include <QString>
#include <QVariantMap>

#include <optional>

// Readers of the group and item records. Records are plain string-keyed maps;
// a key that is missing or holds another type counts as absent.

namespace Records {

QVariantMap newGroup(const QString &title);

bool isHeader(const QVariantMap &record);
bool isExpanded(const QVariantMap &group);
bool isPinned(const QVariantMap &item);
ItemKind kindOf(const QVariantMap &item);

// "title" when it holds a string, else the empty string.
QString title(const QVariantMap &record);
std::optional<qint64> uid(const QVariantMap &item);
// The path stored under "url", "Weburl", "imgpath" or "color"; empty when absent.
QString text(const QVariantMap &record, QLatin1String key);

// The records of a stored array; elements that are not records are skipped.
QList<QVariantMap> recordsOf(const QVariantList &array);
QVariantList arrayOf(const QList<QVariantMap> &records);

// Transitional, while the callers move to Item.
Item toItem(const QVariantMap &record);

} // namespace Records
