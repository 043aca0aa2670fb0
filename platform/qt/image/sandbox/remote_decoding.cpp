// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/remote_decoding.h"

#include <QElapsedTimer>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/qt/byte_paths.h"
#include "platform/qt/image/sandbox/helper_pool.h"
#include "platform/qt/image/sandbox/pixel_memory.h"
#include "platform/qt/image/thumbnail_size.h"
#include "platform/qt/logging.h"

namespace gb::qt {

using sandbox::HelperPool;
using sandbox::HelperProcess;
using sandbox::largePngFlag;
using sandbox::mapPixels;
using sandbox::normalPngFlag;
using sandbox::Received;
using sandbox::ReplyKind;
using sandbox::Request;
using sandbox::RequestKind;

namespace {

// A helper of `pool` for one request, given back when the exchange left it serving.
struct Lease {
    explicit Lease(HelperPool& pool) : pool(pool), helper(pool.take(&error)) {}
    ~Lease() {
        if (helper) pool.giveBack(std::move(helper));
    }
    HelperPool& pool;
    QString error;
    std::unique_ptr<HelperProcess> helper;
};

struct Answer {
    std::optional<Received> reply;  // the last reply, when one came
    QString failure;                // why none came, in a user's words
    QString refusal;                // why the viewer did not let it decode
    bool unwanted = false, tooSlow = false;
    qint64 granted = 0;              // taken from the budget: the caller gives it back
    QByteArray largePng, normalPng;  // a thumbnail's files for the cache, when they came with it
    ino_t offered = 0;               // the memory offered to decode into
    QString error() const {
        if (unwanted) return QStringLiteral("not wanted any more");
        if (tooSlow) return tooSlowText();
        if (!refusal.isEmpty()) return refusal;
        if (reply && reply->reply.kind == ReplyKind::Failed) return QString::fromStdString(reply->text);
        if (reply && failure.isEmpty()) return notDecodedText(QStringLiteral("the decoder handed over something else"));
        return notDecodedText(failure.isEmpty() ? QStringLiteral("the decoder gave no answer") : failure);
    }
};

// The file an Encoded reply hands over in sealed memory, when it is no longer than `most`; its descriptor closed.
QByteArray encodedFile(Received& in, std::int64_t most) {
    const int fd = std::exchange(in.fd, -1);
    if (fd < 0) return {};
    const std::int64_t length = in.reply.bytes;
    struct stat st {};
    QByteArray file;
    if (in.reply.kind == ReplyKind::Encoded && length >= 0 && length <= most && ::fstat(fd, &st) == 0 &&
        st.st_size >= length && sandbox::isSealedPixelMemory(fd)) {
        file.resize(static_cast<qsizetype>(length));
        if (::pread(fd, file.data(), static_cast<std::size_t>(length), 0) != static_cast<ssize_t>(length)) file.clear();
    }
    ::close(fd);
    return file;
}

// The cache's PNGs that follow a thumbnail's pixels (no larger than a large thumbnail's pixels twice over); none
// when the helper is stopped or fails meanwhile, which leaves the pixels as good as they were.
void takeThumbnailFiles(HelperProcess& helper, Answer& answer, const DecodeStop* stop, QDeadlineTimer deadline) {
    constexpr std::int64_t most = 2LL * 4 * thumbnailLargeSide * thumbnailLargeSide + 64 * 1024;
    const std::uint32_t flags = answer.reply->reply.flags;
    for (const auto& [flag, file] : {std::pair{largePngFlag, &answer.largePng}, {normalPngFlag, &answer.normalPng}}) {
        if ((flags & flag) == 0) continue;
        Received in;
        if (helper.receive(in, stop, deadline) != HelperProcess::Wait::Reply) return;
        *file = encodedFile(in, most);
        if (in.reply.kind != ReplyKind::Encoded) return;  // a helper that failed to hand one over sends no more
    }
}

// One request on `helper`: the memory it asks for is taken from `budget` (granted at once without one), and its
// decoding may take decodeSeconds from then on; waiting for the memory does not count.
Answer exchange(HelperProcess& helper, const Request& request, int fd, const DecodeStop* stop, MemoryBudget* budget) {
    Answer answer;
    const DecodeStop never;
    QDeadlineTimer deadline(decodeSeconds * 1000);
    if (!helper.send(request, fd)) {
        answer.failure = helper.endReason();
        return answer;
    }
    for (;;) {
        Received in;
        switch (helper.receive(in, stop, deadline)) {
            case HelperProcess::Wait::Ended: answer.failure = helper.endReason(); return answer;
            case HelperProcess::Wait::Unwanted: answer.unwanted = true; return answer;
            case HelperProcess::Wait::TooSlow: answer.tooSlow = true; return answer;
            case HelperProcess::Wait::Reply: break;
        }
        if (in.reply.kind != ReplyKind::NeedMemory) {
            answer.reply = std::move(in);
            if (request.kind == RequestKind::Thumbnail && answer.reply->reply.kind == ReplyKind::Pixels)
                takeThumbnailFiles(helper, answer, stop, deadline);
            return answer;
        }
        const qint64 bytes = in.reply.bytes;
        if (budget && bytes > budget->total()) {
            // More than all decodings together may take: refused before a pixel is decoded.
            helper.kill();
            answer.refusal = tooLargeForMemoryText(QSize(in.reply.width, in.reply.height));
            return answer;
        }
        if (budget) {
            if (!budget->take(bytes, stop ? *stop : never)) {
                helper.kill();
                answer.unwanted = true;
                return answer;
            }
            answer.granted += bytes;
        }
        helper.allowMemory(bytes);
        Request grant;
        grant.kind = RequestKind::Grant;
        // A large picture asked for at its own size is decoded straight into memory kept from another.
        const QSize picture(in.reply.width, in.reply.height);
        int memory = -1;
        if (request.kind == RequestKind::Picture && picture == QSize(request.width, request.height) &&
            static_cast<qint64>(picture.width()) * picture.height() >= largePixels)
            memory = sandbox::takeReusableMemory(4LL * picture.width() * picture.height(), &answer.offered);
        const bool sent = helper.send(grant, memory);
        if (memory >= 0) ::close(memory);
        if (!sent) {
            answer.failure = helper.endReason();
            return answer;
        }
        deadline = QDeadlineTimer(decodeSeconds * 1000);
    }
}

QString sentence(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text + '.';
}

}  // namespace

QString notDecodedText(const QString& why) { return QStringLiteral("the picture could not be decoded (%1)").arg(why); }

QString tooLargeForMemoryText(QSize size) {
    return QStringLiteral("too large to show within the memory this viewer allows: %1 x %2")
        .arg(size.width())
        .arg(size.height());
}

namespace {
// Opens `path` and has a helper of `pool` answer `request` about it; nothing when the file cannot be opened (why
// in `openError`).
std::optional<Answer> ask(HelperPool& pool, const QString& path, const Request& request, const DecodeStop* stop,
                          MemoryBudget* budget, QString* openError = nullptr) {
    const auto file = openForReading(path, openError);
    if (!file) return std::nullopt;
    Lease lease(pool);
    if (!lease.helper) {
        Answer none;
        none.failure = lease.error;
        return none;
    }
    return exchange(*lease.helper, request, file->handle(), stop, budget);
}

Request requestFor(RequestKind kind, QRect area) {
    Request request;
    request.kind = kind;
    request.x = area.x();
    request.y = area.y();
    request.width = area.width();
    request.height = area.height();
    return request;
}

// The pixels of an answer when they are `wanted`, its memory given back to `budget`.
QImage pixelsOf(Answer& answer, MemoryBudget* budget, const std::function<bool(const QImage&)>& wanted) {
    QImage image;
    if (answer.reply && answer.reply->reply.kind == ReplyKind::Pixels) {
        image = mapPixels(*answer.reply, answer.offered);
        if (!image.isNull() && !wanted(image)) image = QImage();
        if (image.isNull()) answer.failure = QStringLiteral("the decoder handed over something else");
    }
    if (budget && answer.granted) budget->give(answer.granted);
    return image;
}
}  // namespace

Header readHeader(const QString& path, const DecodeStop* stop) {
    Header h;
    if (!pathExists(nativePath(path))) {
        h.error = QStringLiteral("The file does not exist (any more).");
        return h;
    }
    QString why;
    const auto answer = ask(HelperPool::headers(), path, requestFor(RequestKind::Header, {}), stop, nullptr, &why);
    if (!answer) {
        h.error = QStringLiteral("The file cannot be read: %1.").arg(why);
        return h;
    }
    if (!answer->reply || answer->reply->reply.kind != ReplyKind::Header) {
        if (answer->reply && answer->reply->fd >= 0) ::close(answer->reply->fd);
        h.error = sentence(answer->error());
        return h;
    }
    const sandbox::Reply& r = answer->reply->reply;
    h.error = QString::fromStdString(answer->reply->text);
    h.size = QSize(r.width, r.height);
    h.canvas = QSize(r.canvasWidth, r.canvasHeight);
    h.partial = (r.flags & sandbox::partialFlag) != 0;
    // What the helper says is checked as any header is: a picture with no size, or one beyond the limit, is not
    // shown whatever it says.
    const bool fits = !h.size.isEmpty() && !h.canvas.isEmpty() &&
                      static_cast<double>(h.canvas.width()) * h.canvas.height() <= maxPicturePixels &&
                      static_cast<double>(h.size.width()) * h.size.height() <= maxPicturePixels;
    if (h.error.isEmpty() && !fits) h.error = sentence(notDecodedText(QStringLiteral("its size makes no sense")));
    return h;
}

platform::ImageInfo QtImageProbe::probe(const std::string& path) { return readHeader(toQString(path)).info(); }

namespace {
// The whole picture at `path` as `kind` asks for it at `size`; `fits` says whether the pixels that came back are
// of a size it may have.
QImage decodeWhole(RequestKind kind, const QString& path, QSize size, const std::function<bool(const QImage&)>& fits,
                   QString* error, int* frames, const DecodeStop* stop, MemoryBudget* budget,
                   ThumbnailFiles* files = nullptr) {
    QElapsedTimer clock;
    clock.start();
    QString why;
    auto answer = ask(HelperPool::decoding(), path, requestFor(kind, QRect({}, size)), stop, budget, &why);
    if (!answer) {
        if (error) *error = why;
        return {};
    }
    const QImage image = pixelsOf(*answer, budget, fits);
    if (image.isNull()) {
        if (error) *error = answer->error();
        if (!answer->unwanted) qCWarning(lcGlimmerbox) << "cannot decode" << path << answer->error();
        return {};
    }
    if (frames) *frames = std::max(1, answer->reply->reply.frames);
    if (files) *files = {answer->largePng, answer->normalPng};
    qCDebug(lcGlimmerbox) << "decoded" << path << "at" << image.size() << "in" << clock.elapsed() << "ms";
    return image;
}
}  // namespace

QImage decodeImage(const QString& path, QSize size, QString* error, int* frames, const DecodeStop* stop,
                   MemoryBudget* budget) {
    const auto fits = [&](const QImage& image) { return image.size() == size; };
    return decodeWhole(RequestKind::Picture, path, size, fits, error, frames, stop, budget);
}

QImage decodeForThumbnail(const QString& path, QSize drawn, ThumbnailFiles* files, QString* error, int* frames,
                          const DecodeStop* stop, MemoryBudget* budget) {
    // A large thumbnail at most, or one of the size drawn when that is larger.
    const QSize most = drawn.expandedTo({thumbnailLargeSide, thumbnailLargeSide});
    const auto fits = [&](const QImage& image) {
        return image.width() <= most.width() && image.height() <= most.height();
    };
    return decodeWhole(RequestKind::Thumbnail, path, drawn, fits, error, frames, stop, budget, files);
}

QImage decodePart(const QString& path, QRect area) {
    auto answer = ask(HelperPool::decoding(), path, requestFor(RequestKind::Part, area), nullptr, nullptr);
    if (!answer) return {};
    return pixelsOf(*answer, nullptr, [&](const QImage& i) { return i.size() == area.size(); });
}

QImage readCachedThumbnail(const QString& path, int side, QHash<QString, QString>* texts, const DecodeStop* stop,
                           MemoryBudget* budget) {
    // A named pipe or a device in a thumbnail's place is never opened for good (the open does not wait).
    auto answer = ask(HelperPool::decoding(), path, requestFor(RequestKind::CachedThumbnail, QRect(0, 0, side, side)),
                      stop, budget);
    if (!answer) return {};
    const QImage image =
        pixelsOf(*answer, budget, [&](const QImage& i) { return i.width() <= side && i.height() <= side; });
    if (image.isNull()) return {};
    const QList<QByteArray> parts = QByteArray::fromStdString(answer->reply->text).split('\0');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        texts->insert(QString::fromUtf8(parts[i]), QString::fromUtf8(parts[i + 1]));
    return image;
}

QByteArray encodePng(const QImage& picture) {
    QImage image = picture;
    if (!sandbox::isPixelFormat(image.format()))
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() || image.width() > sandbox::mostEncodedSide || image.height() > sandbox::mostEncodedSide)
        return {};
    // The pixels go over in sealed memory, the file comes back in another.
    const auto bytes = static_cast<std::size_t>(image.sizeInBytes());
    const int pixels = sandbox::makePixelMemory(static_cast<std::int64_t>(bytes));
    const bool ready = pixels >= 0 && ::write(pixels, image.constBits(), bytes) == static_cast<ssize_t>(bytes) &&
                       sandbox::sealPixelMemory(pixels);
    std::optional<Answer> answer;
    if (ready) {
        Lease lease(HelperPool::decoding());
        Request request;
        request.kind = RequestKind::EncodePng;
        request.width = image.width();
        request.height = image.height();
        request.format = static_cast<std::uint32_t>(image.format());
        request.bytesPerLine = static_cast<std::int32_t>(image.bytesPerLine());
        if (lease.helper) answer = exchange(*lease.helper, request, pixels, nullptr, nullptr);
    }
    if (pixels >= 0) ::close(pixels);
    if (!answer || !answer->reply) return {};
    // A PNG is never much larger than its pixels unpacked.
    return encodedFile(*answer->reply, static_cast<std::int64_t>(bytes) * 2 + 64 * 1024);
}

RemoteFrames::RemoteFrames(QString path, qint64 maxPixels, const DecodeStop& stop)
    : path_(std::move(path)), maxPixels_(maxPixels), stop_(stop) {}

RemoteFrames::~RemoteFrames() { endHelper(); }

void RemoteFrames::endHelper() {
    if (!helper_) return;
    // It played this animation alone and may be in the middle of it: it ends rather than serve another.
    helper_->kill();
    HelperPool::decoding().giveBack(std::move(helper_));
}

AnimationFrame RemoteFrames::next() {
    AnimationFrame frame;
    if (ended_) return frame;
    std::unique_ptr<QFile> file;
    if (!helper_) {
        file = openForReading(path_);
        QString error;
        if (file) helper_ = HelperPool::decoding().take(&error);
        if (!helper_) {
            ended_ = true;
            return frame;
        }
    }
    Request request;
    request.kind = RequestKind::Frames;
    request.maxPixels = maxPixels_;
    // The animation's memory is counted by its player, which holds it for as long as it plays.
    Answer answer = exchange(*helper_, request, file ? file->handle() : -1, &stop_, nullptr);
    if (answer.reply && answer.reply->reply.kind == ReplyKind::Pixels) {
        frame.image = mapPixels(*answer.reply);
        frame.delayMs = shownDelayMs(std::clamp(answer.reply->reply.delayMs, 0, 3600 * 1000));
        frame.last = (answer.reply->reply.flags & sandbox::lastFrameFlag) != 0;
    }
    if (frame.image.isNull() || frame.last) {
        // Resting or broken: the helper that played it goes.
        endHelper();
        ended_ = true;
    }
    return frame;
}

}  // namespace gb::qt
