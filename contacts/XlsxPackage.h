#pragma once
// The parts of an .xlsx package as XML documents, the relationships between them, and element
// names compared without namespace prefixes (some writers use "x:c").

#include "ZipArchive.h"

#include <QList>
#include <QString>
#include <pugixml.hpp>

namespace XlsxXml {

bool Is(const pugi::xml_node &node, const char *local);
pugi::xml_node Child(const pugi::xml_node &node, const char *local);
pugi::xml_attribute Attribute(const pugi::xml_node &node, const char *local);
bool EndsWith(const QString &text, const char *suffix);

} // namespace XlsxXml

struct TRelationship {
    QString id;
    QString type; // as given
    QString part; // the target resolved against the part that names it
};

class TXlsxPackage {
public:
    bool open(const QString &path, QString *error) { return m_zip.open(path, error); }
    bool contains(const QString &part) const { return m_zip.contains(part); }

    // Parses a part; blanks inside texts are data (a cell holding only spaces), so
    // whitespace-only character data is kept.
    bool load(const QString &part, pugi::xml_document &doc, QString *error) const;

    // The internal relationships of a part ("" for the package itself); none if it has no
    // relationships part.
    bool relationships(const QString &part, QList<TRelationship> &result, QString *error) const;

    // The first relationship whose type ends with `suffix` (such as "/worksheet"), or null.
    static const TRelationship *OfType(
        const QList<TRelationship> &relationships, const char *suffix);

private:
    TZipReader m_zip;
};
