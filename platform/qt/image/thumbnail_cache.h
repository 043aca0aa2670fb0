// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's shared thumbnail cache (the freedesktop.org thumbnail standard, which file managers, GIO, eog
// and gwenview read and write): PNG files named by the MD5 of the picture's URI, under normal/ (128 pixels),
// large/ (256), x-large/ (512), xx-large/ (1024) and fail/ (pictures that could not be read), each carrying the
// URI and the picture's modification time so that a changed picture is made again. Safe on any thread.

#include <QImage>
#include <QMutex>
#include <QSet>
#include <QString>

#include <cstdint>
#include <optional>

#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/image/thumbnail_size.h"

namespace gb::qt {

class ThumbnailCache {
public:
    static constexpr int normalSize = thumbnailNormalSide;
    static constexpr int largeSize = thumbnailLargeSide;
    // The standard's sizes, smallest first: the folder and the longest side a thumbnail in it may have.
    struct Size {
        const char* folder;
        int side;
    };
    static constexpr Size sizes[] = {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};

    // $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails without it.
    static QString defaultRoot();
    explicit ThumbnailCache(QString root = defaultRoot()) : root_(std::move(root)) {}
    const QString& root() const { return root_; }

    // The file URI of an absolute path as GLib writes it, which is what the cache is keyed by.
    static QString uriOf(const QString& path);
    // Where the thumbnail of `path` is kept in `folder` (normal, large, ... or fail/glimmerbox-1.0).
    QString fileFor(const QString& path, const QString& folder) const;

    // The smallest thumbnail kept for `path` as it is now that covers `size` (or holds the picture at its own
    // size), from any of the standard's sizes; a null image when there is none. Each file is read as a picture
    // is: a regular file only, its size checked against its folder's before any pixel is decoded, within
    // `budget` and until `stop`.
    QImage find(const QString& path, QSize size = {1, 1}, const DecodeStop* stop = nullptr,
                MemoryBudget* budget = nullptr) const;
    // Whether reading `path` as it is now failed before.
    bool failedBefore(const QString& path) const;
    // Keeps the files a helper wrote of the thumbnails of `path`, with the keys that say which picture they show.
    void storeFiles(const QString& path, const ThumbnailFiles& files) const;
    // Records that `path`, as it is now, cannot be read.
    void storeFailure(const QString& path) const;
    // Whether `path` lies inside the cache: such files are never thumbnailed into it.
    bool covers(const QString& path) const;

private:
    struct Stamp {
        std::int64_t mtime;
        std::int64_t size;
    };
    std::optional<Stamp> stampOf(const QString& path) const;
    // Whether every folder from the root down to `folder` is the user's own and writable by no one else;
    // missing ones are made (mode 0700) when `make` is set.
    bool usable(const QString& folder, bool make) const;
    bool write(const QString& path, const Stamp& stamp, const QString& folder, const QImage& image) const;
    bool writeFile(const QString& path, const Stamp& stamp, const QString& folder, QByteArray png) const;
    QImage readValid(const QString& path, const Stamp& stamp, const QString& folder, int side, const DecodeStop* stop,
                     MemoryBudget* budget) const;
    QString root_;
    // Folders refused so far, each told once in the log.
    mutable QMutex refusedMutex_;
    mutable QSet<QString> refused_;
};

// The thumbnail of `path` drawn at `size`: from the cache when it keeps one for the file as it is, otherwise
// decoded (at thumbnailKeptSize), kept in the cache and brought down to `size`. A
// picture that cannot be decoded is recorded as such; one that failed before is not tried again.
// Animations are not kept (their thumbnails play).
QImage decodeThumbnail(const ThumbnailCache& cache, const QString& path, QSize size, QString* error, int* frames,
                       const DecodeStop* stop, MemoryBudget* budget);

}  // namespace gb::qt
