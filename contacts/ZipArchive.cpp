#include "ZipArchive.h"

#include <QFile>
#include <zip.h>

namespace {

QString ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

TZipReader::~TZipReader()
{
    if (m_archive)
        zip_discard(m_archive);
}

bool TZipReader::open(const QString &path, QString *error)
{
    if (m_archive) {
        zip_discard(m_archive);
        m_archive = nullptr;
    }
    int code = 0;
    m_archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!m_archive)
        return Fail(error, QStringLiteral("not a zip archive: %1").arg(ZipErrorText(code)));
    return true;
}

bool TZipReader::contains(const QString &name) const
{
    return m_archive && zip_name_locate(m_archive, name.toUtf8().constData(), 0) >= 0;
}

std::optional<QByteArray> TZipReader::read(const QString &name, QString *error) const
{
    if (!m_archive) {
        Fail(error, QStringLiteral("no archive is open"));
        return std::nullopt;
    }
    const QByteArray encoded = name.toUtf8();
    const zip_int64_t index = zip_name_locate(m_archive, encoded.constData(), 0);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index < 0 || zip_stat_index(m_archive, zip_uint64_t(index), 0, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE)) {
        Fail(error, QStringLiteral("the part %1 is missing").arg(name));
        return std::nullopt;
    }
    if (stat.size > zip_uint64_t(MaxPartSize)) {
        Fail(error, QStringLiteral("the part %1 is too large").arg(name));
        return std::nullopt;
    }
    zip_file_t *file = zip_fopen_index(m_archive, zip_uint64_t(index), 0);
    if (!file) {
        Fail(error,
            QStringLiteral("the part %1 cannot be opened: %2")
                .arg(name, QString::fromUtf8(zip_strerror(m_archive))));
        return std::nullopt;
    }
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    zip_int64_t done = 0;
    while (done < zip_int64_t(stat.size)) {
        const zip_int64_t got =
            zip_fread(file, data.data() + done, zip_uint64_t(zip_int64_t(stat.size) - done));
        if (got <= 0)
            break;
        done += got;
    }
    const bool complete = done == zip_int64_t(stat.size);
    const QString reason = QString::fromUtf8(zip_file_strerror(file));
    zip_fclose(file);
    if (!complete) {
        Fail(error, QStringLiteral("the part %1 is damaged: %2").arg(name, reason));
        return std::nullopt;
    }
    return data;
}

TZipWriter::TZipWriter(QString path)
    : m_path(std::move(path))
{
}

void TZipWriter::add(const QString &name, QByteArray data)
{
    m_parts.append({ name, std::move(data) });
}

bool TZipWriter::close(QString *error)
{
    // libzip writes the archive to a temporary file beside the target and renames it at
    // zip_close, so a failed write leaves an existing file as it was.
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(m_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return Fail(
            error, QStringLiteral("%1 cannot be written: %2").arg(m_path, ZipErrorText(code)));
    for (const TPart &part : std::as_const(m_parts)) {
        zip_source_t *source =
            zip_source_buffer(archive, part.data.constData(), zip_uint64_t(part.data.size()), 0);
        if (!source
            || zip_file_add(archive, part.name.toUtf8().constData(), source,
                   ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                < 0) {
            const QString reason = QString::fromUtf8(zip_strerror(archive));
            if (source)
                zip_source_free(source);
            zip_discard(archive);
            return Fail(error, QStringLiteral("%1 cannot be written: %2").arg(m_path, reason));
        }
    }
    if (zip_close(archive) != 0) {
        const QString reason = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return Fail(error, QStringLiteral("%1 cannot be written: %2").arg(m_path, reason));
    }
    return true;
}
