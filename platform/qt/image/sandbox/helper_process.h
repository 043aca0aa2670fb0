// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One decoder helper seen from the viewer: a process it started with one end of a socket pair, which it can
// talk to, bound in memory and kill. Used by one thread at a time.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <sys/types.h>
#include <sys/wait.h>

#include <memory>

#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/sandbox/protocol.h"

namespace gb::sandbox {

class HelperProcess {
public:
    // Starts `program` with `environment` (NAME=VALUE strings; the process's own when null: not safe while another
    // thread may change it); nothing, and the reason in `error`, when it cannot be started. The destructor reaps it.
    static std::unique_ptr<HelperProcess> start(const QByteArray& program, QString* error,
                                                char* const* environment = nullptr);
    // Kills the process unless it has ended, and reaps it.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    pid_t pid() const { return pid_; }
    const QByteArray& program() const { return program_; }
    bool send(const Request& request, int fd = -1);

    enum class Wait { Reply, Ended, Unwanted, TooSlow };
    // The next reply (after the helper's greeting, which it takes in passing); Ended when the helper ended or
    // broke the protocol, Unwanted or TooSlow when `stop` or `deadline` came first (the helper is then killed).
    Wait receive(Received& in, const qt::DecodeStop* stop, QDeadlineTimer deadline);
    // Lets the helper's next request use `bytes` above what it takes by itself.
    void allowMemory(std::int64_t bytes);
    void kill();
    // Why the process ended, in a user's words (once receive() said Ended).
    QString endReason();
    // The signal that ended it (0 when none, or before endReason()).
    int endSignal() const { return reaped_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }
    bool ended() const { return ended_; }

private:
    HelperProcess(QByteArray program, pid_t pid, int socket)
        : program_(std::move(program)), pid_(pid), socket_(socket) {}
    bool reap(bool wait);
    const QByteArray program_;
    pid_t pid_;
    int socket_;
    bool greeted_ = false, ended_ = false, killed_ = false, reaped_ = false;
    int status_ = 0;
    // What the helper takes by itself, from its greeting.
    std::int64_t baseData_ = 0, baseAddressSpace_ = 0;
};

}  // namespace gb::sandbox
