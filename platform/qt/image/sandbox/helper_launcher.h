// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starts decoder helpers through one launcher process of the helper program, which has linked its libraries and
// loaded its decoders once and forks a copy of itself for each helper: a start costs a fork, not the 30 ms of a
// core that linking some fifty libraries takes. Each helper is the viewer's own child (waited for, and ended with
// it), as if started directly.
//
// The launcher is started, talked to and waited for by one thread of its own that lives as long as the viewer:
// a process dies with the thread that started it, and its helpers with it.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace gb::sandbox {

class HelperLauncher {
public:
    // The launcher of `program`, made on first use with `environment` (NAME=VALUE strings; the process's own when
    // null) and kept until the viewer ends.
    static HelperLauncher& of(const QByteArray& program, char* const* environment = nullptr);

    // A new helper serving `socket` (its descriptor 3; the caller keeps and closes its own copy): its process id,
    // or -1 and why in `error`. A launcher that ended is started again once.
    pid_t launch(int socket, QString* error);

    // For tests: the launcher's process id (0 when none runs).
    pid_t launcherPid();
    // Ends the launcher and waits for it; no helper is launched after this (the viewer is ending).
    void close();

    HelperLauncher(const HelperLauncher&) = delete;
    HelperLauncher& operator=(const HelperLauncher&) = delete;

private:
    HelperLauncher(QByteArray program, char* const* environment);
    void run();
    void onThread(const std::function<void()>& job);
    bool startLauncher(QString* error);
    // The launcher's answer for a helper serving `socket`: its process id, or minus the error number; nothing when
    // the launcher is gone.
    std::optional<std::int32_t> ask(int socket);
    void endLauncher();

    const QByteArray program_;
    std::vector<std::string> environment_;
    std::vector<char*> environmentPointers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    // Owned by the thread: the launcher process and its end of the socket pair.
    pid_t pid_ = 0;
    int control_ = -1;
    bool closing_ = false;
    std::thread thread_;
};

}  // namespace gb::sandbox
