// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/helper_launcher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/qt/image/sandbox/protocol.h"

extern char** environ;

namespace gb::sandbox {

namespace {
// The helpers write their warnings where the viewer's go when that is a terminal, a pipe or a socket (the
// journal); never into a file.
bool isStream(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

// The launcher loads some fifty libraries before it answers; a slow disk may take seconds.
constexpr int answerWithinMs = 20000;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The launchers are never destroyed: their threads run until the viewer ends. As it ends (after the pools, which
// are made later), each launcher is ended and waited for, so that none is left for init to reap.
std::mutex launchersMutex;
std::vector<std::unique_ptr<HelperLauncher>>* launchers = nullptr;
struct EndLaunchersAtExit {
    ~EndLaunchersAtExit() {
        const std::lock_guard lock(launchersMutex);
        if (launchers)
            for (const auto& launcher : *launchers) launcher->close();
    }
} endLaunchersAtExit;
}  // namespace

HelperLauncher& HelperLauncher::of(const QByteArray& program, char* const* environment) {
    const std::lock_guard lock(launchersMutex);
    if (!launchers) launchers = new std::vector<std::unique_ptr<HelperLauncher>>;
    for (const auto& launcher : *launchers)
        if (launcher->program_ == program) return *launcher;
    launchers->push_back(std::unique_ptr<HelperLauncher>(new HelperLauncher(program, environment)));
    return *launchers->back();
}

void HelperLauncher::close() {
    onThread([this] {
        closing_ = true;
        endLauncher();
    });
}

HelperLauncher::HelperLauncher(QByteArray program, char* const* environment) : program_(std::move(program)) {
    for (char* const* entry = environment ? environment : environ; *entry; ++entry) environment_.emplace_back(*entry);
    for (std::string& entry : environment_) environmentPointers_.push_back(entry.data());
    environmentPointers_.push_back(nullptr);
    thread_ = std::thread([this] { run(); });
    thread_.detach();
}

void HelperLauncher::run() {
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !jobs_.empty(); });
        const std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
    }
}

void HelperLauncher::onThread(const std::function<void()>& job) {
    std::unique_lock lock(mutex_);
    bool done = false;
    jobs_.emplace_back([&] {
        job();
        const std::lock_guard finished(mutex_);
        done = true;
        changed_.notify_all();
    });
    changed_.notify_all();
    changed_.wait(lock, [&] { return done; });
}

pid_t HelperLauncher::launch(int socket, QString* error) {
    pid_t pid = -1;
    onThread([&] {
        if (closing_) {
            if (error) *error = QStringLiteral("the viewer is closing");
            return;
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (control_ < 0 && !startLauncher(error)) return;
            const std::optional<std::int32_t> answer = ask(socket);
            if (!answer) {
                // The launcher ended (or broke off): one more try with a new one.
                endLauncher();
                continue;
            }
            if (*answer > 0) {
                pid = *answer;
            } else if (error) {
                *error = QStringLiteral("the decoder %1 cannot be started: %2")
                             .arg(QString::fromLocal8Bit(program_), systemError(-*answer));
            }
            return;
        }
        if (error)
            *error = QStringLiteral("the decoder %1 cannot be started: it ends as soon as it starts")
                         .arg(QString::fromLocal8Bit(program_));
    });
    return pid;
}

pid_t HelperLauncher::launcherPid() {
    pid_t pid = 0;
    onThread([&] { pid = pid_; });
    return pid;
}

bool HelperLauncher::startLauncher(QString* error) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        if (error) *error = systemError(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pair[1], 3);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!isStream(2)) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Its own process group would outlive a terminal's Ctrl+C; it stays in the viewer's.
    const std::string viewer = std::to_string(::getpid());
    std::array<char*, 4> argv{const_cast<char*>(program_.constData()), const_cast<char*>("--launch"),
                              const_cast<char*>(viewer.c_str()), nullptr};
    pid_t pid = -1;
    const int failed =
        ::posix_spawn(&pid, program_.constData(), &actions, nullptr, argv.data(), environmentPointers_.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pair[1]);
    if (failed != 0) {
        ::close(pair[0]);
        if (error)
            *error = QStringLiteral("the decoder %1 cannot be started: %2")
                         .arg(QString::fromLocal8Bit(program_), systemError(failed));
        return false;
    }
    pid_ = pid;
    control_ = pair[0];
    return true;
}

std::optional<std::int32_t> HelperLauncher::ask(int socket) {
    const char wanted = 'h';
    if (!sendPacket(control_, &wanted, sizeof(wanted), socket)) return std::nullopt;
    pollfd watch{control_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&watch, 1, answerWithinMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return std::nullopt;
    std::int32_t answer = 0;
    int fd = -1;
    const long got = receivePacket(control_, &answer, sizeof(answer), &fd);
    if (fd >= 0) ::close(fd);
    if (got != static_cast<long>(sizeof(answer)) || answer == 0) return std::nullopt;
    return answer;
}

void HelperLauncher::endLauncher() {
    if (control_ >= 0) ::close(control_);
    control_ = -1;
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        pid_t got;
        do {
            got = ::waitpid(pid_, nullptr, 0);
        } while (got < 0 && errno == EINTR);
    }
    pid_ = 0;
}

}  // namespace gb::sandbox
