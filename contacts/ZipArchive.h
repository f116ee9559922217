#pragma once
// The zip container of .xlsx workbooks: reading parts by name, and writing a new archive.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct zip;

class TZipReader {
public:
    // A part larger than this is refused (a workbook part that inflates beyond it is not one
    // this program can use).
    static constexpr qint64 MaxPartSize = 256 * 1024 * 1024;

    TZipReader() = default;
    ~TZipReader();
    TZipReader(const TZipReader &) = delete;
    TZipReader &operator=(const TZipReader &) = delete;

    bool open(const QString &path, QString *error = nullptr);
    bool contains(const QString &name) const;
    // The inflated bytes of a part; empty optional with the reason if it is missing or broken.
    std::optional<QByteArray> read(const QString &name, QString *error = nullptr) const;

private:
    zip *m_archive = nullptr;
};

class TZipWriter {
public:
    // Parts are kept in memory and written to `path` by close(). An existing file is replaced
    // only once the new archive is complete.
    explicit TZipWriter(QString path);

    void add(const QString &name, QByteArray data);
    bool close(QString *error = nullptr);

private:
    struct TPart {
        QString name;
        QByteArray data;
    };
    QString m_path;
    QList<TPart> m_parts;
};
