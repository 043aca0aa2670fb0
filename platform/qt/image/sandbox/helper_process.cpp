// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/helper_process.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "platform/qt/image/sandbox/confinement.h"
#include "platform/qt/image/sandbox/helper_launcher.h"

namespace gb::sandbox {

std::unique_ptr<HelperProcess> HelperProcess::start(const QByteArray& program, QString* error,
                                                    char* const* environment) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    const pid_t pid = HelperLauncher::of(program, environment).launch(pair[1], error);
    ::close(pair[1]);
    if (pid < 0) {
        ::close(pair[0]);
        return nullptr;
    }
    return std::unique_ptr<HelperProcess>(new HelperProcess(program, pid, pair[0]));
}

HelperProcess::~HelperProcess() {
    if (!reap(false)) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    ::close(socket_);
}

bool HelperProcess::reap(bool wait) {
    if (reaped_) return true;
    pid_t got;
    do {
        got = ::waitpid(pid_, &status_, wait ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    reaped_ = got == pid_ || (got < 0 && errno == ECHILD);
    return reaped_;
}

bool HelperProcess::send(const Request& request, int fd) {
    if (ended_) return false;
    if (!sendPacket(socket_, &request, sizeof(request), fd)) ended_ = true;
    return !ended_;
}

void HelperProcess::kill() {
    if (!reaped_) ::kill(pid_, SIGKILL);
    killed_ = true;
    ended_ = true;
}

void HelperProcess::allowMemory(std::int64_t bytes) {
    if (ended_ || baseData_ <= 0) return;
    const auto soften = [this](__rlimit_resource resource, std::int64_t soft) {
        ::rlimit now{};
        if (::prlimit(pid_, resource, nullptr, &now) != 0) return;
        const rlim_t wanted = std::min<rlim_t>(static_cast<rlim_t>(soft), now.rlim_max);
        const ::rlimit limit{wanted, now.rlim_max};
        ::prlimit(pid_, resource, &limit, nullptr);
    };
    bytes = std::clamp<std::int64_t>(bytes, 0, mostGranted);
    soften(RLIMIT_DATA, baseData_ + bytes + slackBytes);
    // Pixels handed over are mapped once more while they are copied into the shared memory.
    soften(RLIMIT_AS, baseAddressSpace_ + 2 * bytes + addressSlackBytes);
}

HelperProcess::Wait HelperProcess::receive(Received& in, const qt::DecodeStop* stop, QDeadlineTimer deadline) {
    std::vector<char> packet(maxPacket);
    for (;;) {
        if (ended_) return Wait::Ended;
        if (stop && stop->unwanted.load()) {
            kill();
            return Wait::Unwanted;
        }
        if (deadline.hasExpired() || (stop && stop->tooSlow())) {
            kill();
            return Wait::TooSlow;
        }
        // Short waits, so that a stop is seen within a few milliseconds.
        pollfd watch{socket_, POLLIN, 0};
        const int remaining = static_cast<int>(std::min<qint64>(deadline.remainingTime(), 10));
        const int ready = ::poll(&watch, 1, deadline.isForever() ? 10 : std::max(remaining, 0));
        if (ready < 0 && errno != EINTR) {
            ended_ = true;
            continue;
        }
        if (ready <= 0) continue;
        int fd = -1;
        const long got = receivePacket(socket_, packet.data(), packet.size(), &fd);
        if (got <= 0) {
            ended_ = true;
            continue;
        }
        auto parsed = parseReply(packet.data(), got, fd);
        if (!parsed || parsed->reply.kind == ReplyKind::Ready) {
            // A greeting twice, or a packet that is no reply: the helper is not to be trusted any more.
            if (!parsed || greeted_) {
                kill();
                return Wait::Ended;
            }
            greeted_ = true;
            baseData_ = parsed->reply.bytes;
            baseAddressSpace_ = parsed->reply.addressSpace;
            continue;
        }
        if (!greeted_) {
            kill();
            return Wait::Ended;
        }
        in = std::move(*parsed);
        return Wait::Reply;
    }
}

QString HelperProcess::endReason() {
    if (!reaped_) {
        // A helper that broke the protocol is killed; one that closed its end is given a moment to end.
        if (!killed_) {
            for (int i = 0; i < 100 && !reap(false); ++i) ::usleep(1000);
        }
        if (!reap(false)) {
            ::kill(pid_, SIGKILL);
            reap(true);
        }
    }
    if (killed_ && WIFSIGNALED(status_) && WTERMSIG(status_) == SIGKILL) return QStringLiteral("the decoder broke off");
    if (WIFSIGNALED(status_)) {
        switch (WTERMSIG(status_)) {
            case SIGSYS: return QStringLiteral("the decoder tried something it is not allowed to do");
            case SIGKILL: return QStringLiteral("the decoder ran out of memory");
            case SIGABRT:
            case SIGSEGV:
            case SIGBUS:
            case SIGILL:
            case SIGFPE: return QStringLiteral("the decoder crashed");
            default: return QStringLiteral("the decoder was ended by signal %1").arg(WTERMSIG(status_));
        }
    }
    return QStringLiteral("the decoder stopped unexpectedly");
}

}  // namespace gb::sandbox
