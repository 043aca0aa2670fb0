// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder helper: the one process where pictures are decoded. The viewer starts one launcher, which loads the
// libraries and decoders once and is handed a socket over its descriptor 3 for each helper wanted:
//     glimmerbox-decoder --launch VIEWER_PID
// Each helper is a copy of it (a fork, made the viewer's child) that talks to the viewer over the socket it was
// handed.
// By hand, for debugging, it decodes one file under the same confinement and says what came out:
//     glimmerbox-decoder --decode FILE [WIDTHxHEIGHT]
// With GLIMMERBOX_DECODER_TRACE=1 a forbidden system call is named (its number) before the helper ends.

#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <malloc.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/qt/image/decoder.h"
#include "platform/qt/image/sandbox/confinement.h"
#include "platform/qt/image/sandbox/decoder_service.h"
#include "platform/qt/image/sandbox/protocol.h"

#if defined(__SANITIZE_ADDRESS__)
// Under the address sanitizer, a crash ends the helper as it would without it: the sanitizer's report would read
// files the filter forbids, and the helper would end as if it had broken out.
extern "C" const char* __asan_default_options() { return "handle_segv=0:handle_sigbus=0:detect_leaks=0"; }
#endif

namespace {

void toStderr(QtMsgType, const QMessageLogContext&, const QString& message) {
    const QByteArray line = "glimmerbox-decoder: " + message.toLocal8Bit() + '\n';
    if (::write(2, line.constData(), static_cast<std::size_t>(line.size())) < 0) return;  // nowhere to tell
}

int usage() {
    std::fprintf(stderr,
                 "usage: glimmerbox-decoder --launch VIEWER_PID  (started by glimmerbox)\n"
                 "       glimmerbox-decoder --decode FILE [WIDTHxHEIGHT]\n");
    return 2;
}

// What every helper has before it is shut in: the decoders loaded and the allocator set for decoding.
void load() {
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
    // The memory of one request serves the next: blocks below 16 MB come from the heap, and up to 16 MB of it
    // stays when freed (within the slack the limits leave). Otherwise every thumbnail's decoder buffers and
    // pixels would be mapped afresh and fault in page by page, which costs more than the decoding on a VM.
    ::mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
    gb::sandbox::loadDecoders();
}

// Caps and confines the process; false when the confinement cannot be set up. A decoding by hand, which no viewer
// grants memory to, has the most any request may be given.
bool shutIn(bool byHand = false) {
    gb::sandbox::capMemory(gb::sandbox::footprint(), byHand ? gb::sandbox::mostGranted : 0);
    const char* trace = std::getenv("GLIMMERBOX_DECODER_TRACE");
    return gb::sandbox::confine(trace && std::strcmp(trace, "1") == 0);
}

// A helper forked from the launcher, its decoders loaded: it shuts itself in, greets the viewer and serves it over
// descriptor 3.
int serveHelper(pid_t viewer) {
    const int socket = 3;
    if (!gb::sandbox::dieWithParent(viewer)) return 1;
    const gb::sandbox::Footprint base = gb::sandbox::footprint();
    if (!shutIn()) {
        std::fprintf(stderr, "glimmerbox-decoder: the system call filter cannot be set up\n");
        return 1;
    }
    gb::sandbox::Reply ready;
    ready.kind = gb::sandbox::ReplyKind::Ready;
    ready.bytes = base.data;
    ready.addressSpace = base.addressSpace;
    if (!gb::sandbox::sendReply(socket, ready)) return 1;
    return gb::sandbox::serve(socket);
}

// The launcher: for each socket the viewer hands over (with one byte), a helper serving it, whose process id goes
// back (or minus the error number). A fork costs a millisecond where a start from scratch links some fifty
// libraries: 30 ms of a core, which the window being made at the same time would feel. The launcher reads nothing
// but the viewer's sockets, and is not shut in: its helpers are, each on its own, before they read a picture.
int launch(pid_t viewer) {
    const int control = 3;
    if (!gb::sandbox::dieWithParent(viewer)) return 1;
    ::close_range(4, ~0U, 0);
    load();
    for (;;) {
        char wanted = 0;
        int socket = -1;
        if (gb::sandbox::receivePacket(control, &wanted, sizeof(wanted), &socket) <= 0) return 0;
        if (socket < 0) continue;
        // The viewer's child rather than the launcher's: the viewer waits for it, and learns how it ended.
        const long pid = ::syscall(SYS_clone, CLONE_PARENT, 0, nullptr, nullptr, 0);
        if (pid == 0) {
            // The helper has the socket as descriptor 3, in place of the launcher's, and nothing else open but
            // the standard streams.
            if (::dup2(socket, control) != control) ::_exit(1);
            ::close_range(4, ~0U, 0);
            ::_exit(serveHelper(viewer));
        }
        ::close(socket);
        const std::int32_t answer = pid > 0 ? static_cast<std::int32_t>(pid) : -errno;
        if (!gb::sandbox::sendPacket(control, &answer, sizeof(answer))) return 0;
    }
}

int decodeByHand(const char* path, const char* size) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        std::perror(path);
        return 1;
    }
    int width = 0, height = 0;
    if (size && std::sscanf(size, "%dx%d", &width, &height) != 2) return usage();
    load();
    if (!shutIn(true)) return 1;
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const gb::qt::Header header = gb::qt::readHeader(file);
    std::printf("header: %d x %d, canvas %d x %d%s%s\n", header.size.width(), header.size.height(),
                header.canvas.width(), header.canvas.height(), header.partial ? ", parts on their own" : "",
                header.error.isEmpty() ? "" : qPrintable(" - " + header.error));
    if (!header.error.isEmpty()) return 1;
    file.seek(0);
    QElapsedTimer clock;
    clock.start();
    QString error;
    int frames = 1;
    const QSize drawn = width > 0 && height > 0 ? QSize(width, height) : header.size;
    const QImage image = gb::qt::decodeImage(file, drawn, &error, &frames);
    if (image.isNull()) {
        std::printf("not decoded: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("decoded: %d x %d, format %d, %d frame(s), in %lld ms\n", image.width(), image.height(),
                static_cast<int>(image.format()), frames, static_cast<long long>(clock.elapsed()));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(toStderr);
    // Nothing to tidy after serving: the process holds no file and its memory goes with it.
    if (argc == 3 && std::strcmp(argv[1], "--launch") == 0) ::_exit(launch(static_cast<pid_t>(std::atoi(argv[2]))));
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--decode") == 0) {
        const int status = decodeByHand(argv[2], argc == 4 ? argv[3] : nullptr);
        std::fflush(stdout);
        ::_exit(status);
    }
    return usage();
}
