// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/helper_pool.h"

#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

extern char** environ;

namespace gb::sandbox {

namespace {
QByteArray programFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return {};
    const QByteArray exe(path, length);
    return exe.left(exe.lastIndexOf('/'));
}
}  // namespace

QByteArray HelperPool::defaultProgram() {
    if (const char* chosen = std::getenv("GLIMMERBOX_DECODER"); chosen && *chosen) return chosen;
    const QByteArray folder = programFolder();
    const QByteArray installed = folder + "/../libexec/glimmerbox/glimmerbox-decoder";
    if (::access(installed.constData(), X_OK) == 0) return installed;
    return folder + "/glimmerbox-decoder";
}

HelperPool& HelperPool::decoding() {
    static HelperPool pool(std::max(2, QThread::idealThreadCount()), defaultProgram());
    return pool;
}

HelperPool& HelperPool::headers() {
    static HelperPool pool(1, defaultProgram());
    return pool;
}

HelperPool::HelperPool(int idle, QByteArray program) : idleWanted_(idle), program_(std::move(program)) {
    for (char** entry = environ; *entry; ++entry) environment_.emplace_back(*entry);
    for (std::string& entry : environment_) environmentPointers_.push_back(entry.data());
    environmentPointers_.push_back(nullptr);
    spawner_ = std::thread([this] { spawnLoop(); });
}

HelperPool::~HelperPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    spawner_.join();
    idle_.clear();
}

void HelperPool::spawnLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock,
                      [this] { return stopping_ || wanted_ > 0 || static_cast<int>(idle_.size()) + out_ < warm_; });
        if (stopping_) return;
        const QByteArray program = program_;
        lock.unlock();
        QString error;
        auto helper = HelperProcess::start(program, &error, environmentPointers_.data());
        lock.lock();
        if (!helper) {
            lastError_ = error;
            // Nothing to wait for: those waiting hear why, and the idle ones are not made again until asked.
            wanted_ = 0;
            warm_ = 0;
        } else if (helper->program() == program_) {
            ++started_;
            if (wanted_ > 0) --wanted_;
            idle_.push_back(std::move(helper));
        }
        changed_.notify_all();
    }
}

void HelperPool::warmUp(int count) {
    {
        std::lock_guard lock(mutex_);
        warm_ = std::max(warm_, count < 0 ? idleWanted_ : std::min(count, idleWanted_));
    }
    changed_.notify_all();
}

std::unique_ptr<HelperProcess> HelperPool::take(QString* error) {
    std::unique_lock lock(mutex_);
    warm_ = idleWanted_;
    if (idle_.empty()) {
        ++wanted_;
        lastError_.clear();
        changed_.notify_all();
        changed_.wait(lock, [this] { return stopping_ || !idle_.empty() || !lastError_.isEmpty(); });
    }
    if (idle_.empty()) {
        if (error) *error = lastError_.isEmpty() ? QStringLiteral("the viewer is closing") : lastError_;
        return nullptr;
    }
    auto helper = std::move(idle_.front());
    idle_.pop_front();
    ++out_;
    busiest_ = std::min(std::max(busiest_, out_), idleWanted_ + 2);
    return helper;
}

void HelperPool::giveBack(std::unique_ptr<HelperProcess> helper) {
    std::unique_lock lock(mutex_);
    --out_;
    const bool keep = helper && !helper->ended() && !stopping_ && helper->program() == program_ &&
                      static_cast<int>(idle_.size()) < std::max(idleWanted_, busiest_);
    if (keep) idle_.push_front(std::move(helper));
    changed_.notify_all();  // one fewer out: the spawning thread may start another
    lock.unlock();
    helper.reset();
}

void HelperPool::setProgram(const QByteArray& program) {
    std::deque<std::unique_ptr<HelperProcess>> old;
    {
        std::lock_guard lock(mutex_);
        program_ = program;
        old.swap(idle_);
    }
    changed_.notify_all();
}

int HelperPool::started() const {
    std::lock_guard lock(mutex_);
    return started_;
}

}  // namespace gb::sandbox
