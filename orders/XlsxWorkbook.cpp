#include "XlsxWorkbook.h"

#include <QFile>
#include <cstring>
#include <zip.h>

namespace Xlsx {

namespace {

    constexpr unsigned ParseFlags =
        pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

    bool EndsWith(const char *text, const char *tail)
    {
        const size_t n = std::strlen(text);
        const size_t m = std::strlen(tail);
        return n >= m && std::strcmp(text + n - m, tail) == 0;
    }

    std::string Folder(const std::string &part)
    {
        const size_t slash = part.rfind('/');
        return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    }

    // The rels part that belongs to `part` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels").
    std::string RelsOf(const std::string &part)
    {
        const std::string folder = Folder(part);
        return folder + "_rels/" + part.substr(folder.size()) + ".rels";
    }

    // A relationship target as a path inside the package.
    std::string Resolve(const std::string &folder, const char *target)
    {
        std::string joined = target[0] == '/' ? std::string(target + 1) : folder + target;
        std::vector<std::string> segments;
        size_t begin = 0;
        while (begin <= joined.size()) {
            size_t end = joined.find('/', begin);
            if (end == std::string::npos)
                end = joined.size();
            const std::string segment = joined.substr(begin, end - begin);
            if (segment == "..") {
                if (!segments.empty())
                    segments.pop_back();
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
            begin = end + 1;
        }
        std::string path;
        for (const std::string &segment : segments)
            path += (path.empty() ? "" : "/") + segment;
        return path;
    }

    const char *RelationshipId(pugi::xml_node sheet)
    {
        for (pugi::xml_attribute a = sheet.first_attribute(); a; a = a.next_attribute())
            if (EndsWith(a.name(), ":id"))
                return a.value();
        return "";
    }

    struct TStringWriter : pugi::xml_writer {
        std::string *out;
        explicit TStringWriter(std::string *target)
            : out(target)
        {
        }
        void write(const void *data, size_t size) override
        {
            out->append(static_cast<const char *>(data), size);
        }
    };

    std::string Serialise(const pugi::xml_document &doc)
    {
        std::string out;
        if (doc.first_child().type() != pugi::node_declaration)
            out = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
        TStringWriter writer(&out);
        doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        return out;
    }

    QString PackageError(const QString &what)
    {
        return QStringLiteral("发货单文件无法处理：%1").arg(what);
    }

} // namespace

TXlsxWorkbook::TXlsxWorkbook() = default;

TXlsxWorkbook::~TXlsxWorkbook()
{
    Close();
}

void TXlsxWorkbook::Close()
{
    if (m_zip)
        zip_discard(m_zip);
    m_zip = nullptr;
}

bool TXlsxWorkbook::Open(const QString &path, QString *error)
{
    Close();
    m_path = path;
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), 0, &code);
    if (!m_zip) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        *error = PackageError(
            path + QStringLiteral("：") + QString::fromUtf8(zip_error_strerror(&reason)));
        zip_error_fini(&reason);
        return false;
    }

    pugi::xml_document rootRels;
    std::string data;
    if (!ReadPart("_rels/.rels", &data, error))
        return false;
    if (!rootRels.load_buffer(data.data(), data.size(), ParseFlags)) {
        *error = PackageError(QStringLiteral("_rels/.rels"));
        return false;
    }
    for (pugi::xml_node rel = rootRels.child("Relationships").child("Relationship"); rel;
         rel = rel.next_sibling("Relationship"))
        if (EndsWith(rel.attribute("Type").value(), "/officeDocument"))
            m_workbookPart = Resolve(std::string(), rel.attribute("Target").value());
    if (m_workbookPart.empty()) {
        *error = PackageError(QStringLiteral("没有工作簿"));
        return false;
    }
    if (!ReadPart(m_workbookPart, &data, error))
        return false;
    if (!m_workbook.load_buffer(data.data(), data.size(), ParseFlags)
        || !m_workbook.child("workbook")) {
        *error = PackageError(QString::fromStdString(m_workbookPart));
        return false;
    }

    m_workbookRelsPart = RelsOf(m_workbookPart);
    pugi::xml_document rels;
    if (!ReadPart(m_workbookRelsPart, &data, error))
        return false;
    if (!rels.load_buffer(data.data(), data.size(), ParseFlags)) {
        *error = PackageError(QString::fromStdString(m_workbookRelsPart));
        return false;
    }
    const std::string folder = Folder(m_workbookPart);
    m_sheets.clear();
    for (pugi::xml_node sheet = m_workbook.child("workbook").child("sheets").child("sheet"); sheet;
         sheet = sheet.next_sibling("sheet")) {
        const pugi::xml_node rel =
            rels.child("Relationships")
                .find_child_by_attribute("Relationship", "Id", RelationshipId(sheet));
        TSheetEntry entry;
        entry.part = Resolve(folder, rel.attribute("Target").value());
        entry.isWorksheet = rel && EndsWith(rel.attribute("Type").value(), "/worksheet");
        m_sheets.push_back(std::move(entry));
    }
    return true;
}

TXlsxSheet *TXlsxWorkbook::Sheet(int number, QString *error)
{
    if (number < 1 || number > SheetCount()) {
        *error = PackageError(QStringLiteral("没有第 %1 个工作表").arg(number));
        return nullptr;
    }
    TSheetEntry &entry = m_sheets[size_t(number - 1)];
    if (entry.sheet)
        return entry.sheet.get();
    if (!entry.isWorksheet) {
        *error = PackageError(QStringLiteral("第 %1 个工作表不是普通工作表").arg(number));
        return nullptr;
    }
    std::string data;
    if (!ReadPart(entry.part, &data, error))
        return nullptr;
    auto sheet = std::make_unique<TXlsxSheet>();
    if (!sheet->Load(data.data(), data.size(), error))
        return nullptr;
    entry.sheet = std::move(sheet);
    return entry.sheet.get();
}

bool TXlsxWorkbook::Activate(int number, QString *error)
{
    pugi::xml_node workbook = m_workbook.child("workbook");
    pugi::xml_node bookViews = workbook.child("bookViews");
    if (!bookViews)
        bookViews = workbook.insert_child_before("bookViews", workbook.child("sheets"));
    pugi::xml_node view = bookViews.child("workbookView");
    if (!view)
        view = bookViews.append_child("workbookView");
    (view.attribute("activeTab") ? view.attribute("activeTab") : view.append_attribute("activeTab"))
        .set_value(number - 1);
    for (int i = 1; i <= SheetCount(); ++i) {
        if (!m_sheets[size_t(i - 1)].isWorksheet)
            continue;
        TXlsxSheet *sheet = Sheet(i, error);
        if (!sheet)
            return false;
        sheet->SetTabSelected(i == number);
    }
    return true;
}

bool TXlsxWorkbook::Save(QString *error)
{
    if (!m_zip) {
        *error = PackageError(QStringLiteral("文件没有打开"));
        return false;
    }
    for (TSheetEntry &entry : m_sheets)
        if (entry.sheet && !ReplacePart(entry.part, entry.sheet->Save(), error))
            return false;

    // Formulas were copied without results: have them calculated when the file is opened.
    pugi::xml_node workbook = m_workbook.child("workbook");
    pugi::xml_node calcPr = workbook.child("calcPr");
    if (!calcPr) {
        pugi::xml_node before;
        for (const char *name :
            { "oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes",
                "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst" })
            if ((before = workbook.child(name)))
                break;
        calcPr = before ? workbook.insert_child_before("calcPr", before)
                        : workbook.append_child("calcPr");
    }
    (calcPr.attribute("fullCalcOnLoad") ? calcPr.attribute("fullCalcOnLoad")
                                        : calcPr.append_attribute("fullCalcOnLoad"))
        .set_value("1");
    if (!ReplacePart(m_workbookPart, Serialise(m_workbook), error) || !DropCalcChain(error))
        return false;

    if (zip_close(m_zip) != 0) {
        *error =
            PackageError(m_path + QStringLiteral("：") + QString::fromUtf8(zip_strerror(m_zip)));
        Close();
        return false;
    }
    m_zip = nullptr;
    m_buffers.clear();
    return true;
}

bool TXlsxWorkbook::ReadPart(const std::string &part, std::string *data, QString *error) const
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_file_t *file = nullptr;
    if (zip_stat(m_zip, part.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)
        || !(file = zip_fopen(m_zip, part.c_str(), 0))) {
        *error = PackageError(QString::fromStdString(part) + QStringLiteral("：")
            + QString::fromUtf8(zip_strerror(m_zip)));
        return false;
    }
    data->resize(size_t(stat.size));
    const zip_int64_t read = zip_fread(file, data->data(), stat.size);
    zip_fclose(file);
    if (read < 0 || zip_uint64_t(read) != stat.size) {
        *error = PackageError(QString::fromStdString(part) + QStringLiteral("：读取不完整"));
        return false;
    }
    return true;
}

bool TXlsxWorkbook::ReplacePart(const std::string &part, std::string data, QString *error)
{
    const zip_int64_t index = zip_name_locate(m_zip, part.c_str(), 0);
    m_buffers.push_back(std::move(data));
    const std::string &kept = m_buffers.back();
    zip_source_t *source = zip_source_buffer(m_zip, kept.data(), kept.size(), 0);
    if (index < 0 || !source || zip_file_replace(m_zip, zip_uint64_t(index), source, 0) != 0) {
        if (source)
            zip_source_free(source);
        *error = PackageError(QString::fromStdString(part) + QStringLiteral("：")
            + QString::fromUtf8(zip_strerror(m_zip)));
        return false;
    }
    return true;
}

bool TXlsxWorkbook::DropCalcChain(QString *error)
{
    // The calculation chain lists formula cells by position; it would no longer match.
    std::string data;
    pugi::xml_document rels;
    if (!ReadPart(m_workbookRelsPart, &data, error))
        return false;
    if (!rels.load_buffer(data.data(), data.size(), ParseFlags)) {
        *error = PackageError(QString::fromStdString(m_workbookRelsPart));
        return false;
    }
    pugi::xml_node list = rels.child("Relationships");
    pugi::xml_node chain;
    for (pugi::xml_node rel = list.child("Relationship"); rel && !chain;
         rel = rel.next_sibling("Relationship"))
        if (EndsWith(rel.attribute("Type").value(), "/calcChain"))
            chain = rel;
    if (!chain)
        return true;
    const std::string part = Resolve(Folder(m_workbookPart), chain.attribute("Target").value());
    list.remove_child(chain);
    if (!ReplacePart(m_workbookRelsPart, Serialise(rels), error))
        return false;
    const zip_int64_t index = zip_name_locate(m_zip, part.c_str(), 0);
    if (index >= 0 && zip_delete(m_zip, zip_uint64_t(index)) != 0) {
        *error = PackageError(QString::fromStdString(part));
        return false;
    }
    pugi::xml_document types;
    if (!ReadPart("[Content_Types].xml", &data, error))
        return false;
    if (!types.load_buffer(data.data(), data.size(), ParseFlags)) {
        *error = PackageError(QStringLiteral("[Content_Types].xml"));
        return false;
    }
    pugi::xml_node root = types.child("Types");
    const std::string partName = "/" + part;
    if (pugi::xml_node item =
            root.find_child_by_attribute("Override", "PartName", partName.c_str()))
        root.remove_child(item);
    return ReplacePart("[Content_Types].xml", Serialise(types), error);
}

} // namespace Xlsx
