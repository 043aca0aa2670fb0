// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoder helpers kept running, so that a picture never waits for one to start: a few idle at all times, taken
// for a request and given back after it (a helper that was killed or ended is not given back: a new one takes
// its place). Helpers are asked of the launcher (helper_launcher.h) by one thread of the pool's own, so that no
// one waits for a start but who needs a helper at once.

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt/image/sandbox/helper_process.h"

namespace gb::sandbox {

class HelperPool {
public:
    // The helpers that decode pictures (one per core, at least two), and the one that reads headers for the
    // window, which must never wait behind a decoding.
    static HelperPool& decoding();
    static HelperPool& headers();

    // The helper program: $GLIMMERBOX_DECODER when set, else the one installed beside the running program
    // (../libexec/glimmerbox/glimmerbox-decoder, or in the same folder in a build tree).
    static QByteArray defaultProgram();

    HelperPool(int idle, QByteArray program);
    ~HelperPool();
    HelperPool(const HelperPool&) = delete;
    HelperPool& operator=(const HelperPool&) = delete;

    // Starts `count` idle helpers now rather than at the first request (all of them when -1); after the first
    // request, the pool keeps all its idle helpers ready.
    void warmUp(int count = -1);
    // An idle helper, or a new one when none is idle; nothing (and why in `error`) when none can be started.
    // Every helper taken is given back, whatever became of it.
    std::unique_ptr<HelperProcess> take(QString* error);
    // A helper taken: one still serving waits for the next request, or ends when as many are idle as were ever out
    // at once; one that ended or was killed is replaced at once.
    void giveBack(std::unique_ptr<HelperProcess> helper);

    // For tests: another helper program from now on (idle helpers of the old one end).
    void setProgram(const QByteArray& program);
    int started() const;

private:
    void spawnLoop();
    const int idleWanted_;
    QByteArray program_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<HelperProcess>> idle_;
    int wanted_ = 0;  // helpers asked of the spawning thread beyond the idle ones
    int out_ = 0;     // taken and not given back
    // The most helpers out at once so far (up to two more than the idle ones): as many are kept when given back, so
    // that threads asking together do not start a helper each time and end it right after.
    int busiest_ = 0;
    int started_ = 0;
    // The environment helpers start with, as it was when the pool was made: the spawning thread must not read the
    // process's own while another thread may change it.
    std::vector<std::string> environment_;
    std::vector<char*> environmentPointers_;
    QString lastError_;
    int warm_ = 0;  // idle helpers to keep
    bool stopping_ = false;
    std::thread spawner_;
};

}  // namespace gb::sandbox
