#pragma once
// The tables of a new store, built into the program from data/schema.sql.

#include <QString>
#include <QStringList>

namespace StoreSchema {

// The schema text as built into the program (empty if the resource is missing).
QString Text();

// The statements of a script: split at semicolons outside quoted literals, "--" comments
// removed, blank statements dropped.
QStringList SplitStatements(const QString &script);

} // namespace StoreSchema
