// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/headless.h"

#include "platform/name_pattern.h"
#include "suspend/form2.h"

#include <algorithm>
#include <stdexcept>

namespace gb::test {

void ManualEventQueue::processPending() {
    std::size_t n = pending_.size();
    while (n-- > 0 && !pending_.empty()) {
        auto work = std::move(pending_.front());
        pending_.pop_front();
        work();
    }
}

void ManualEventQueue::runAll() {
    for (int guard = 0; !pending_.empty(); ++guard) {
        if (guard > 100000) throw std::runtime_error("the event queue keeps refilling itself");
        auto work = std::move(pending_.front());
        pending_.pop_front();
        work();
    }
}

platform::ImageInfo ScriptedImageProbe::probe(const std::string& path) {
    const auto it = answers_.find(path);
    if (it != answers_.end()) return it->second;
    return {false, 0, 0, "The file does not exist (any more)."};
}

bool FakeFileSystem::setCurrentDirectory(const std::string& path) {
    if (!isDirectory(path)) return false;
    current = path;
    return true;
}

std::vector<std::string> FakeFileSystem::listFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> out;
    if (unreadable.count(folder)) return out;
    const auto it = folders.find(folder);
    if (it == folders.end()) return out;
    for (const auto& name : it->second)
        if (platform::listedUnder(name, pattern)) out.push_back(name);
    return out;
}

bool FakeFileSystem::isFile(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return false;
    const auto it = folders.find(path.substr(0, slash));
    if (it == folders.end()) return false;
    for (const auto& name : it->second)
        if (name == path.substr(slash + 1)) return true;
    return false;
}

platform::FileResult RecordingTrash::moveToTrash(const std::string& path) {
    if (std::find(refuse.begin(), refuse.end(), path) != refuse.end()) return {false, "The trash is full."};
    const auto removed = files_.removeFile(path);
    if (removed.ok) {
        files_.removed.pop_back();
        trashed.push_back(path);
    }
    return removed;
}

platform::FileResult FakeFileSystem::removeFile(const std::string& path) {
    if (std::find(readOnly.begin(), readOnly.end(), path) != readOnly.end()) return {false, "Permission denied"};
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {false, "No such file"};
    auto it = folders.find(path.substr(0, slash));
    if (it == folders.end()) return {false, "No such file"};
    auto& names = it->second;
    for (auto n = names.begin(); n != names.end(); ++n) {
        if (*n == path.substr(slash + 1)) {
            names.erase(n);
            removed.push_back(path);
            return {true, {}};
        }
    }
    return {false, "No such file"};
}

std::optional<platform::OpenFileAnswer> ScriptedFileDialog::openFile(const platform::OpenFileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

platform::MessageAnswer ScriptedMessageBoxes::show(const platform::MessageRequest& request) {
    shown.push_back(request);
    if (answers.empty()) return request.escapeAnswer;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
}

Headless::Headless(platform::ScreenSize screen)
    : services{events, probe, preloader, files, trash, fileDialog, messages, screen},
      form(std::make_unique<Form1>(services)) {
    files.folders[files.current];
    // The window system applies a maximise, or a move that sizes a normal window, at once and reports the new
    // client size: the outer size less a 4-pixel border and a 23-pixel title bar.
    form->window.onChanged = [this, last = platform::WindowState::Normal, lastW = form->window.width(),
                              lastH = form->window.height()]() mutable {
        platform::Window& w = form->window;
        const auto now = w.windowState();
        if (now == platform::WindowState::Maximized && last != now) w.resized(maximisedWidth, maximisedHeight);
        if (now == platform::WindowState::Normal && (w.width() != lastW || w.height() != lastH))
            w.resized(static_cast<int>(w.width() / 15) - 8, static_cast<int>(w.height() / 15) - 31);
        last = now;
        lastW = w.width();
        lastH = w.height();
    };
}

void Headless::start() {
    form->Form_Load();
    events.runAll();
}

void Headless::resizeClient(int width, int height) { form->window.resized(width, height); }

void Headless::minimise() { form->window.platformMinimized(true); }

void Headless::restore(int width, int height) {
    form->window.platformMinimized(false);
    form->window.resized(width, height);
}

void Headless::openFolder(const std::string& folder, const std::vector<std::string>& names, const std::string& start,
                          int filter) {
    files.folders[folder] = names;
    for (const auto& n : names) probe.add(folder + "/" + n, 64, 48);
    fileDialog.answers.push_back(platform::OpenFileAnswer{folder + "/" + start, filter});
    form->menuFileScegli_Click();
    events.runAll();
}

void Headless::fillQueue(const std::vector<std::string>& paths) {
    form->form2();  // the suspended-images window lists the queue's names beside it
    for (const auto& p : paths) {
        form->queue.append(p, p.substr(p.rfind('/') + 1));
        probe.add(p, 640, 480);
    }
    form->queue.startBefore(paths.empty() ? std::string() : form->DoveShow.listItem(0));
}

void Headless::queueAt(int pos) {
    if (pos < 1) {
        form->queue.startBefore(form->DoveShow.listCount() > 0 ? form->DoveShow.listItem(0) : std::string());
        return;
    }
    form->queue.startBefore(form->DoveShow.listItem(pos - 1));
    form->queue.step(+1);
}

}  // namespace gb::test
