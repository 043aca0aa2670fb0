// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/thumbnail_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMutexLocker>
#include <QTemporaryFile>

#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/file_url.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/logging.h"

namespace gb::qt {

namespace {
const QString failFolder = QStringLiteral("fail/glimmerbox-1.0");
const char uriKey[] = "Thumb::URI";
const char mtimeKey[] = "Thumb::MTime";
const char sizeKey[] = "Thumb::Size";
const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

std::uint32_t bigEndian(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

void appendBigEndian(QByteArray& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xFF);
}

// The CRC-32 of PNG chunks (ISO 3309, as zlib's crc32).
std::uint32_t crc32(const QByteArray& bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFU;
    for (const char b : bytes) c = table[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data) {
    QByteArray out;
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const QByteArray body = type + data;
    out += body;
    appendBigEndian(out, crc32(body));
    return out;
}

// `png` with its text chunks replaced by `texts`, each a plain tEXt chunk right after the header: GLib's
// thumbnail check reads tEXt only, and Qt's writer compresses a text longer than 40 characters (zTXt).
// Empty when `png` is not a whole PNG.
QByteArray withPlainText(const QByteArray& png, const std::vector<std::pair<QByteArray, QByteArray>>& texts) {
    if (!png.startsWith(pngSignature)) return {};
    QByteArray out = pngSignature;
    for (qsizetype at = pngSignature.size(); at + 12 <= png.size();) {
        const qsizetype length = bigEndian(png, at);
        if (length > png.size() - at - 12) return {};
        const QByteArray type = png.mid(at + 4, 4);
        const QByteArray whole = png.mid(at, length + 12);
        at += length + 12;
        if (type == "tEXt" || type == "zTXt" || type == "iTXt") continue;
        out += whole;
        if (type == "IHDR")
            for (const auto& [key, value] : texts) out += chunk("tEXt", key + '\0' + value);
        if (type == "IEND") return out;
    }
    return {};
}
}  // namespace

QString ThumbnailCache::defaultRoot() {
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (!cache.isEmpty() && cache.startsWith('/')) return QString::fromLocal8Bit(cache) + QStringLiteral("/thumbnails");
    return QDir::homePath() + QStringLiteral("/.cache/thumbnails");
}

QString ThumbnailCache::uriOf(const QString& path) {
    return QString::fromStdString(platform::toGlibFileUri(nativePath(path).toStdString()));
}

QString ThumbnailCache::fileFor(const QString& path, const QString& folder) const {
    const QByteArray md5 = QCryptographicHash::hash(uriOf(path).toLatin1(), QCryptographicHash::Md5).toHex();
    return QStringLiteral("%1/%2/%3.png").arg(root_, folder, QString::fromLatin1(md5));
}

bool ThumbnailCache::covers(const QString& path) const {
    const QString root = root_.endsWith('/') ? root_ : root_ + '/';
    return QDir::cleanPath(path).startsWith(root);
}

std::optional<ThumbnailCache::Stamp> ThumbnailCache::stampOf(const QString& path) const {
    struct stat st {};
    if (::stat(nativePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return Stamp{static_cast<std::int64_t>(st.st_mtime), static_cast<std::int64_t>(st.st_size)};
}

bool ThumbnailCache::usable(const QString& folder, bool make) const {
    if (make && !QDir().mkpath(QFileInfo(root_).path())) return false;
    QString dir = root_;
    const QStringList parts = folder.split('/');
    for (qsizetype i = -1; i < parts.size(); ++i) {
        if (i >= 0) dir += '/' + parts[i];
        const QByteArray native = QFile::encodeName(dir);
        struct stat st {};
        if (::stat(native.constData(), &st) != 0) {
            // The standard's folders are the user's alone.
            if (errno != ENOENT || !make || (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) ||
                ::stat(native.constData(), &st) != 0)
                return false;
        }
        // Thumbnails that someone else can put in place would be shown as the user's pictures, and written ones
        // would tell others what the user looks at.
        if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            QMutexLocker lock(&refusedMutex_);
            if (!refused_.contains(dir)) {
                refused_.insert(dir);
                qCWarning(lcGlimmerbox).noquote()
                    << "thumbnails are neither read from nor kept in" << dir
                    << "as it is not a folder of the user's own that only the user can write to";
            }
            return false;
        }
    }
    return true;
}

QImage ThumbnailCache::readValid(const QString& path, const Stamp& stamp, const QString& folder, int side,
                                 const DecodeStop* stop, MemoryBudget* budget) const {
    // Read by a decoder helper as any picture is, its size checked against its folder's before any pixel.
    QHash<QString, QString> texts;
    QImage image = readCachedThumbnail(fileFor(path, folder), side, &texts, stop, budget);
    if (image.isNull() || (stop && stop->stopped())) return {};
    const QString kept = texts.value(sizeKey);
    if (texts.value(uriKey) != uriOf(path) || texts.value(mtimeKey) != QString::number(stamp.mtime) ||
        (!kept.isEmpty() && kept != QString::number(stamp.size)))
        return {};
    return image;
}

QImage ThumbnailCache::find(const QString& path, QSize size, const DecodeStop* stop, MemoryBudget* budget) const {
    const auto stamp = stampOf(path);
    if (!stamp || covers(path)) return {};
    for (const Size& s : sizes) {
        const QString folder = QString::fromLatin1(s.folder);
        if (!usable(folder, false)) continue;
        const QImage image = readValid(path, *stamp, folder, s.side, stop, budget);
        if (image.isNull()) continue;
        // Smaller than its folder's size on both sides: the picture at its own size, as sharp as it gets.
        const bool whole = std::max(image.width(), image.height()) < s.side;
        if (whole || (image.width() >= size.width() && image.height() >= size.height())) return image;
    }
    return {};
}

bool ThumbnailCache::failedBefore(const QString& path) const {
    const auto stamp = stampOf(path);
    return stamp && !covers(path) && usable(failFolder, false) &&
           !readValid(path, *stamp, failFolder, 1, nullptr, nullptr).isNull();
}

bool ThumbnailCache::write(const QString& path, const Stamp& stamp, const QString& folder, const QImage& image) const {
    // Encoded by a helper: no image library runs in the viewer.
    return usable(folder, true) && writeFile(path, stamp, folder, encodePng(image));
}

bool ThumbnailCache::writeFile(const QString& path, const Stamp& stamp, const QString& folder, QByteArray png) const {
    if (png.isEmpty() || !usable(folder, true)) return false;
    png = withPlainText(png, {{uriKey, uriOf(path).toLatin1()},
                              {mtimeKey, QByteArray::number(static_cast<qlonglong>(stamp.mtime))},
                              {"Software", "Glimmerbox"}});
    if (png.isEmpty()) return false;
    // Written whole under a name of its own (0600), then renamed over the old one in one step.
    const QString target = fileFor(path, folder);
    QTemporaryFile file(QFileInfo(target).path() + QStringLiteral("/glimmerbox-XXXXXX.png"));
    if (!file.open() || file.write(png) != png.size() || !file.flush()) return false;
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

void ThumbnailCache::storeFiles(const QString& path, const ThumbnailFiles& files) const {
    const auto stamp = stampOf(path);
    if (!stamp || covers(path)) return;
    if (!files.large.isEmpty()) writeFile(path, *stamp, QStringLiteral("large"), files.large);
    writeFile(path, *stamp, QStringLiteral("normal"), files.normal);
}

void ThumbnailCache::storeFailure(const QString& path) const {
    const auto stamp = stampOf(path);
    if (!stamp || covers(path)) return;
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    write(path, *stamp, failFolder, mark);
}

QImage decodeThumbnail(const ThumbnailCache& cache, const QString& path, QSize size, QString* error, int* frames,
                       const DecodeStop* stop, MemoryBudget* budget) {
    const auto fitted = [&](const QImage& image) {
        return image.size() == size ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    if (cache.covers(path)) return decodeImage(path, size, error, frames, stop, budget);
    if (const QImage kept = cache.find(path, size, stop, budget); !kept.isNull()) return fitted(kept);
    if (cache.failedBefore(path)) {
        if (error) *error = QStringLiteral("the picture cannot be decoded");
        return {};
    }
    int count = 1;
    ThumbnailFiles files;
    const QImage image = decodeForThumbnail(path, size, &files, error, &count, stop, budget);
    if (frames) *frames = count;
    if (image.isNull()) {
        if (!(stop && stop->stopped())) cache.storeFailure(path);
        return {};
    }
    if (count == 1) cache.storeFiles(path, files);
    return fitted(image);
}

}  // namespace gb::qt
