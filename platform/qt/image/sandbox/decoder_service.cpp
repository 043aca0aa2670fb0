// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/decoder_service.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "platform/qt/image/decoder.h"
#include "platform/qt/image/frame_source.h"
#include "platform/qt/image/sandbox/faults.h"
#include "platform/qt/image/sandbox/protocol.h"
#include "platform/qt/image/thumbnail_size.h"

namespace gb::sandbox {

namespace {

using qt::DecodeHooks;

// Memory shared with the viewer that a large picture is decoded straight into.
struct SharedImage {
    int fd = -1;
    void* data = MAP_FAILED;
    std::size_t bytes = 0;
    void unmap() {
        if (data != MAP_FAILED) ::munmap(data, bytes);
        data = MAP_FAILED;
    }
    void close() {
        unmap();
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

QImage::Format crossingFormat(const QImage& image) {
    if (isPixelFormat(image.format())) return image.format();
    if (image.isGrayscale() && !image.hasAlphaChannel()) return QImage::Format_Grayscale8;
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

class Service {
public:
    explicit Service(int socket) : socket_(socket) {}
    int run();

private:
    void handle(const Request& request, std::unique_ptr<QFile> file);
    // The whole picture in `file` at `size`; null, and the failure told, when it cannot be decoded.
    QImage decodeWhole(QFile& file, QSize size, int* frames);
    void sendPicture(QImage image, int frames);
    // A thumbnail's picture, followed by the cache's PNGs of it.
    void sendThumbnail(QImage image, int frames);
    bool askMemory(qint64 bytes, QSize picture);
    QImage blank(QSize size, QImage::Format format);
    bool sendImage(QImage image, Reply reply, const std::string& text = {});
    void encodePng(const Request& request, int pixels);
    bool sendBytes(const QByteArray& bytes);
    void fail(const QString& why) { sendReply(socket_, Reply{}, why.toStdString()); }
    DecodeHooks hooks() {
        return {[this](qint64 bytes, QSize picture) { return askMemory(bytes, picture); },
                [this](QSize size, QImage::Format format) { return blank(size, format); }};
    }

    void dropOffered() {
        if (offered_ >= 0) ::close(offered_);
        offered_ = -1;
    }

    int socket_;
    bool broken_ = false;
    SharedImage shared_;
    bool wholePicture_ = false;  // the request on hand asks for a whole picture
    int offered_ = -1;           // the viewer's pixel memory of a picture's size, to decode into again
    std::unique_ptr<qt::FrameSource> frames_;
};

int Service::run() {
    char packet[sizeof(Request) + 1];
    while (!broken_) {
        int fd = -1;
        const long got = receivePacket(socket_, packet, sizeof(packet), &fd);
        if (got <= 0) return got == 0 ? 0 : 1;
        Request request;
        std::unique_ptr<QFile> file;
        if (fd >= 0) {
            file = std::make_unique<QFile>();
            if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
                ::close(fd);
                file.reset();
            }
        }
        if (got != sizeof(Request)) return 1;
        std::memcpy(&request, packet, sizeof(Request));
        if (request.magic != protocolMagic) return 1;
        try {
            handle(request, std::move(file));
        } catch (const std::bad_alloc&) {
            shared_.close();
            frames_.reset();
            fail(QStringLiteral("it needs more memory than this viewer allows"));
        }
        dropOffered();
    }
    return 1;
}

bool Service::askMemory(qint64 bytes, QSize picture) {
    Reply ask;
    ask.kind = ReplyKind::NeedMemory;
    ask.bytes = bytes;
    ask.width = picture.width();
    ask.height = picture.height();
    if (!sendReply(socket_, ask)) return !(broken_ = true);
    Request grant;
    int fd = -1;
    const long got = receivePacket(socket_, &grant, sizeof(grant), &fd);
    dropOffered();
    offered_ = fd;
    if (got != sizeof(grant) || grant.magic != protocolMagic || grant.kind != RequestKind::Grant)
        return !(broken_ = true);
    return true;
}

QImage Service::blank(QSize size, QImage::Format format) {
    shared_.close();
    if (!isPixelFormat(format) || size.isEmpty()) return {};
    const QImage probe(1, 1, format);
    const qsizetype row = ((static_cast<qsizetype>(size.width()) * probe.depth() + 31) / 32) * 4;
    shared_.bytes = static_cast<std::size_t>(row) * size.height();
    // Memory the viewer offers again, pages and all, when it is of the size; fresh memory otherwise.
    struct stat st {};
    if (offered_ >= 0 && ::fstat(offered_, &st) == 0 && static_cast<std::size_t>(st.st_size) == shared_.bytes &&
        isReusablePixelMemory(offered_))
        std::swap(shared_.fd, offered_);
    dropOffered();
    if (shared_.fd < 0) shared_.fd = makePixelMemory(static_cast<std::int64_t>(shared_.bytes));
    if (shared_.fd < 0) return {};
    shared_.data = ::mmap(nullptr, shared_.bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, shared_.fd, 0);
    if (shared_.data == MAP_FAILED) {
        shared_.close();
        return {};
    }
    return QImage(static_cast<uchar*>(shared_.data), size.width(), size.height(), row, format);
}

bool Service::sendImage(QImage image, Reply reply, const std::string& text) {
    const QImage::Format format = crossingFormat(image);
    if (image.format() != format) image = image.convertToFormat(format);
    reply.kind = ReplyKind::Pixels;
    reply.width = image.width();
    reply.height = image.height();
    reply.format = static_cast<std::uint32_t>(format);
    reply.bytesPerLine = static_cast<std::int32_t>(image.bytesPerLine());
    int fd = -1;
    const bool inShared = shared_.fd >= 0 && image.constBits() == shared_.data;
    // Only a whole picture's memory is offered again, for the next picture of its size; a part's is sealed.
    const bool reusable = inShared && wholePicture_;
    if (inShared) {
        // Decoded where it will be kept: handed over as it is (a copy of a part of 9 MB into fresh memory took
        // 40-50 ms of a 170 ms decoding), a whole picture's for the viewer to offer again once let go.
        fd = shared_.fd;
        shared_.fd = -1;
        image = QImage();
        shared_.unmap();
    } else {
        shared_.close();
        // Written rather than mapped and copied: the kernel fills the new memory without a fault for each page.
        const auto bytes = static_cast<std::size_t>(image.sizeInBytes());
        fd = makePixelMemory(static_cast<std::int64_t>(bytes));
        if (fd < 0 || ::write(fd, image.constBits(), bytes) != static_cast<ssize_t>(bytes)) {
            if (fd >= 0) ::close(fd);
            fail(QStringLiteral("there is not enough memory to hand the picture over"));
            return false;
        }
    }
    if (!sealPixelMemory(fd, reusable)) {
        ::close(fd);
        fail(QStringLiteral("the picture's memory cannot be sealed"));
        return false;
    }
    if (!sendReply(socket_, reply, text, fd)) broken_ = true;
    ::close(fd);
    return !broken_;
}

bool Service::sendBytes(const QByteArray& bytes) {
    const int fd = makePixelMemory(bytes.size());
    // A new memory file: written from its start.
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) ==
                                        static_cast<ssize_t>(bytes.size());
    if (!written || !sealPixelMemory(fd)) {
        if (fd >= 0) ::close(fd);
        fail(QStringLiteral("there is not enough memory to hand the file over"));
        return false;
    }
    Reply reply;
    reply.kind = ReplyKind::Encoded;
    reply.bytes = bytes.size();
    if (!sendReply(socket_, reply, {}, fd)) broken_ = true;
    ::close(fd);
    return true;
}

// `image` as a PNG of the thumbnail cache; empty when it cannot be written.
QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80);  // light compression: a thumbnail is written once and read often, both quickly
    if (!writer.write(image)) png.clear();
    return png;
}

// The pixels the viewer handed over in sealed memory, written as a PNG: what the thumbnail cache keeps.
void Service::encodePng(const Request& request, int pixels) {
    struct stat st {};
    const auto layout = ::fstat(pixels, &st) == 0 && isSealedPixelMemory(pixels)
                            ? checkedLayout(request, static_cast<std::int64_t>(st.st_size))
                            : std::nullopt;
    if (!layout) return fail(QStringLiteral("the pixels handed over do not match their description"));
    void* data = ::mmap(nullptr, static_cast<std::size_t>(layout->bytes()), PROT_READ, MAP_SHARED, pixels, 0);
    if (data == MAP_FAILED) return fail(QStringLiteral("the pixels handed over cannot be read"));
    const QByteArray png = pngOf(
        QImage(static_cast<const uchar*>(data), layout->width, layout->height, layout->bytesPerLine, layout->format));
    ::munmap(data, static_cast<std::size_t>(layout->bytes()));
    if (png.isEmpty()) return fail(QStringLiteral("the picture cannot be written as a PNG"));
    sendBytes(png);
}

// A thumbnail-cache PNG no larger than `side` on either side, read with its text keys.
QImage readCachePng(QIODevice& file, int side, std::string* texts, const DecodeHooks& hooks) {
    // A thumbnail of its folder's size, stored uncompressed at 16 bits a channel, and its text: no more.
    if (file.size() > 8LL * side * (side + 1) + 64 * 1024) return {};
    QImageReader reader(&file, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > side || size.height() > side) return {};
    // Read at up to 8 bytes a pixel, then turned into 4.
    if (!hooks.takeMemory(12LL * size.width() * size.height(), size)) return {};
    QImage image = reader.read();
    if (image.isNull()) return {};
    // Read whole: Qt's reader splits keys that hold a colon ("Thumb::URI") before the picture is read.
    for (const QString& key : image.textKeys()) {
        *texts += key.toStdString();
        *texts += '\0';
        *texts += image.text(key).toStdString();
        *texts += '\0';
    }
    return image;
}

QImage Service::decodeWhole(QFile& file, QSize size, int* frames) {
    QString error;
    QImage image = qt::decodeImage(file, size, &error, frames, hooks());
    if (image.isNull() && !broken_) fail(error);
    return image;
}

void Service::sendPicture(QImage image, int frames) {
    Reply reply;
    reply.frames = frames;
    sendImage(std::move(image), reply);
}

void Service::sendThumbnail(QImage image, int frames) {
    // A still picture's thumbnails for the cache follow it, written here: the viewer only adds its keys.
    QByteArray large, normal;
    const auto bounded = [&](int side) {
        return image.width() <= side && image.height() <= side
                   ? image
                   : image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    };
    if (frames == 1) {
        if (std::max(image.width(), image.height()) >= qt::thumbnailLargeSide)
            large = pngOf(bounded(qt::thumbnailLargeSide));
        normal = pngOf(bounded(qt::thumbnailNormalSide));
    }
    Reply reply;
    reply.frames = frames;
    if (!large.isEmpty()) reply.flags |= largePngFlag;
    if (!normal.isEmpty()) reply.flags |= normalPngFlag;
    if (!sendImage(std::move(image), reply)) return;
    if (!large.isEmpty() && !sendBytes(large)) return;
    if (!normal.isEmpty()) sendBytes(normal);
}

void Service::handle(const Request& request, std::unique_ptr<QFile> file) {
    wholePicture_ = request.kind == RequestKind::Picture;
    if (file && injectFault(*file, socket_)) return;
    if (request.kind == RequestKind::EncodePng)
        return file ? encodePng(request, file->handle()) : fail(QStringLiteral("no pixels were handed over"));
    const bool needsFile = request.kind != RequestKind::Frames && request.kind != RequestKind::Grant;
    if (needsFile && !file) return fail(QStringLiteral("the file was not handed over"));
    // The viewer asks for sizes and parts within the largest picture it shows; anything else is refused.
    constexpr int mostSide = 1 << 16;
    const auto within = [](int value) { return value >= 0 && value <= mostSide; };
    if (!within(request.width) || !within(request.height) || !within(request.x) || !within(request.y) ||
        static_cast<double>(request.width) * request.height > qt::maxPicturePixels)
        return fail(QStringLiteral("the size asked for makes no sense"));
    const QSize size(request.width, request.height);
    const QString noSize = QStringLiteral("no size was asked for");
    switch (request.kind) {
        case RequestKind::Header: {
            const qt::Header header = qt::readHeader(*file);
            Reply reply;
            reply.kind = ReplyKind::Header;
            reply.width = header.size.width();
            reply.height = header.size.height();
            reply.canvasWidth = header.canvas.width();
            reply.canvasHeight = header.canvas.height();
            reply.flags = header.partial ? std::uint32_t{partialFlag} : 0U;
            if (!sendReply(socket_, reply, header.error.toStdString())) broken_ = true;
            return;
        }
        case RequestKind::Picture: {
            if (size.isEmpty()) return fail(noSize);
            int frames = 1;
            QImage image = decodeWhole(*file, size, &frames);
            if (!image.isNull()) sendPicture(std::move(image), frames);
            return;
        }
        case RequestKind::Thumbnail: {
            if (size.isEmpty()) return fail(noSize);
            // The header read here saves the viewer a round trip for each thumbnail.
            const qt::Header header = qt::readHeader(*file);
            if (!file->seek(0)) return fail(QStringLiteral("the file cannot be read again"));
            const QSize kept = qt::thumbnailKeptSize(header.error.isEmpty() ? header.size : QSize(), size);
            int frames = 1;
            QImage image = decodeWhole(*file, kept, &frames);
            if (!image.isNull()) sendThumbnail(std::move(image), frames);
            return;
        }
        case RequestKind::Part: {
            const QRect area(request.x, request.y, request.width, request.height);
            if (area.isEmpty()) return fail(QStringLiteral("no part was asked for"));
            QImage image = qt::decodePart(*file, area, hooks());
            if (broken_) return;
            if (image.isNull()) return fail(QStringLiteral("the part cannot be decoded on its own"));
            sendImage(std::move(image), Reply{});
            return;
        }
        case RequestKind::CachedThumbnail: {
            std::string texts;
            QImage image = readCachePng(*file, std::max(request.width, request.height), &texts, hooks());
            if (broken_) return;
            if (image.isNull()) return fail(QStringLiteral("not a thumbnail that can be used"));
            sendImage(std::move(image), Reply{}, texts);
            return;
        }
        case RequestKind::Frames: {
            if (file) {
                const qint64 most = std::clamp<qint64>(request.maxPixels, 1, qt::maxPicturePixels);
                // The canvas, the frame handed over and the part a frame may put back.
                if (!askMemory(3 * 4 * most, QSize())) return;
                frames_ = std::make_unique<qt::FrameSource>(std::move(file), most);
            }
            if (!frames_) return fail(QStringLiteral("no animation was started"));
            const qt::AnimationFrame frame = frames_->next();
            if (frame.image.isNull()) return fail(QStringLiteral("the animation cannot be read any more"));
            Reply reply;
            reply.delayMs = frame.delayMs;
            reply.flags = frame.last ? std::uint32_t{lastFrameFlag} : 0U;
            if (frame.last) frames_.reset();
            sendImage(frame.image, reply);
            return;
        }
        case RequestKind::EncodePng:
        case RequestKind::Grant: break;
    }
    broken_ = true;
}

}  // namespace

int serve(int socket) { return Service(socket).run(); }

}  // namespace gb::sandbox
