// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoded images by file and size, bounded in bytes: the least recently used go first once the bytes pass the
// limit or too many unwanted ones are held.

#include <QHash>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QString>

#include <functional>

namespace gb::qt {

struct ImageKey {
    QString path;
    QSize size;  // device pixels
    bool thumbnail = false;
    bool operator==(const ImageKey& o) const { return path == o.path && size == o.size && thumbnail == o.thumbnail; }
};
inline size_t qHash(const ImageKey& k, size_t seed) {
    return qHashMulti(seed, k.path, k.size.width(), k.size.height(), k.thumbnail);
}

struct ImageStore {
    struct Entry {
        QImage image;
        quint64 used = 0;
    };
    QHash<ImageKey, Entry> entries;
    qint64 bytes = 0;
    qint64 limit = 0;
    // How many entries beyond the wanted ones may stay (the pictures just seen, for a step back).
    int othersKept = 0;
    quint64 clock = 0;
    const QImage* find(const ImageKey& key);
    void insert(const ImageKey& key, const QImage& image);
    // Evicts until `extra` more bytes fit, sparing the keys in `keep`; false when only kept ones are left and
    // they do not leave room.
    bool makeRoom(qint64 extra, const QSet<ImageKey>& keep);
    void removeIf(const std::function<bool(const ImageKey&)>& unwanted);
};

}  // namespace gb::qt
