#include "XlsxPackage.h"

#include <QDir>
#include <cstring>

namespace XlsxXml {

namespace {

    const char *LocalName(const char *name)
    {
        const char *colon = std::strrchr(name, ':');
        return colon ? colon + 1 : name;
    }

} // namespace

bool Is(const pugi::xml_node &node, const char *local)
{
    return std::strcmp(LocalName(node.name()), local) == 0;
}

pugi::xml_node Child(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && Is(child, local))
            return child;
    return {};
}

pugi::xml_attribute Attribute(const pugi::xml_node &node, const char *local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(LocalName(a.name()), local) == 0)
            return a;
    return {};
}

bool EndsWith(const QString &text, const char *suffix)
{
    return text.endsWith(QLatin1String(suffix));
}

} // namespace XlsxXml

namespace {

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" -> "_rels/.rels".
QString RelationshipsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1)
        + QStringLiteral(".rels");
}

QString Resolve(const QString &fromPart, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = fromPart.lastIndexOf(QLatin1Char('/'));
    return QDir::cleanPath(fromPart.left(slash + 1) + target);
}

} // namespace

bool TXlsxPackage::load(const QString &part, pugi::xml_document &doc, QString *error) const
{
    const std::optional<QByteArray> data = m_zip.read(part, error);
    if (!data)
        return false;
    const pugi::xml_parse_result parsed = doc.load_buffer(data->constData(), size_t(data->size()),
        pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_auto);
    if (!parsed) {
        if (error)
            *error = QStringLiteral("the part %1 is not well-formed XML: %2")
                         .arg(part, QString::fromUtf8(parsed.description()));
        return false;
    }
    return true;
}

bool TXlsxPackage::relationships(
    const QString &part, QList<TRelationship> &result, QString *error) const
{
    using namespace XlsxXml;
    result.clear();
    const QString relsPart = RelationshipsOf(part);
    if (!contains(relsPart))
        return true;
    pugi::xml_document doc;
    if (!load(relsPart, doc, error))
        return false;
    const pugi::xml_node root = Child(doc, "Relationships");
    for (pugi::xml_node r = root.first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element || !Is(r, "Relationship"))
            continue;
        if (std::strcmp(r.attribute("TargetMode").as_string(), "External") == 0)
            continue;
        result.append({ QString::fromUtf8(r.attribute("Id").as_string()),
            QString::fromUtf8(r.attribute("Type").as_string()),
            Resolve(part, QString::fromUtf8(r.attribute("Target").as_string())) });
    }
    return true;
}

const TRelationship *TXlsxPackage::OfType(
    const QList<TRelationship> &relationships, const char *suffix)
{
    for (const TRelationship &r : relationships)
        if (XlsxXml::EndsWith(r.type, suffix))
            return &r;
    return nullptr;
}
