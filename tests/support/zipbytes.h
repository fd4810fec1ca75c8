#pragma once
// Archives built member by member for the tests, names as given (folders,
// "..", absolute paths): what another ZIP tool or a hostile file may hold.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace tltest {

inline QByteArray zipOf(const std::vector<std::pair<QString, QByteArray>> &members, int level = 6)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.zip"));
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto &[name, bytes] : members) {
        // libzip takes its own copy of the bytes (freep 1 with a malloc'd buffer).
        void *copy = ::malloc(size_t(bytes.size()) + 1);
        std::memcpy(copy, bytes.constData(), size_t(bytes.size()));
        zip_source_t *src = zip_source_buffer(z, copy, zip_uint64_t(bytes.size()), 1);
        const zip_int64_t i = zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(z, zip_uint64_t(i), level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, zip_uint32_t(level));
    }
    zip_close(z);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace tltest
