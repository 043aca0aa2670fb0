// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The headless backend: the logic with scripted services and a deterministic event queue, no window system.

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/services.h"

namespace gb::test {

class ManualEventQueue final : public platform::EventQueue {
public:
    void post(std::function<void()> work) override { pending_.push_back(std::move(work)); }
    // Runs what was pending when called, as a handler yielding to the window's events does.
    void processPending() override;
    // Runs until nothing is pending (bounded, so that a loop that keeps posting fails the test).
    void runAll();
    std::size_t pending() const { return pending_.size(); }

private:
    std::deque<std::function<void()>> pending_;
};

class ScriptedImageProbe final : public platform::ImageProbe {
public:
    void add(const std::string& path, int width, int height) { answers_[path] = {true, width, height, {}}; }
    void unreadable(const std::string& path) { answers_[path] = {false, 0, 0, "The file cannot be read."}; }
    platform::ImageInfo probe(const std::string& path) override;

private:
    std::map<std::string, platform::ImageInfo> answers_;
};

// Keeps every list of wishes the logic states, newest last.
class RecordingPreloader final : public platform::Preloader {
public:
    std::vector<std::vector<platform::PreloadRequest>> calls;
    void preload(const std::vector<platform::PreloadRequest>& wanted) override { calls.push_back(wanted); }
};

class FakeFileSystem final : public platform::FileSystem {
public:
    std::string current = "/home/user/Pictures";
    std::map<std::string, std::vector<std::string>> folders;  // folder -> names, in listing order
    std::vector<std::string> removed;                         // paths erased, in order
    std::vector<std::string> readOnly;                        // paths that cannot be erased
    std::map<std::string, std::string> special;               // path -> what stands there ("a socket")
    std::map<std::string, std::string> unreadable;            // folder -> why it cannot be listed
    std::map<std::string, std::string> unreachable;           // path -> why it cannot be reached or entered

    std::string currentDirectory() override { return current; }
    bool setCurrentDirectory(const std::string& path) override;
    std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) override;
    bool isFile(const std::string& path) override;
    bool isDirectory(const std::string& path) override { return folders.count(path) != 0; }
    std::string specialKind(const std::string& path) override { return special.count(path) ? special[path] : ""; }
    std::string folderError(const std::string& folder) override {
        return unreadable.count(folder) ? unreadable[folder] : "";
    }
    std::string reachError(const std::string& path) override {
        return unreachable.count(path) ? unreachable[path] : "";
    }
    platform::FileResult removeFile(const std::string& path) override;
};

// Takes files out of the fake folders; the paths in `refuse` fail as a full or unusable trash would.
class RecordingTrash final : public platform::Trash {
public:
    explicit RecordingTrash(FakeFileSystem& files) : files_(files) {}
    std::vector<std::string> trashed;
    std::vector<std::string> refuse;
    platform::FileResult moveToTrash(const std::string& path) override;

private:
    FakeFileSystem& files_;
};

class ScriptedFileDialog final : public platform::FileDialog {
public:
    std::deque<std::optional<platform::OpenFileAnswer>> answers;
    std::vector<platform::OpenFileRequest> requests;
    std::optional<platform::OpenFileAnswer> openFile(const platform::OpenFileRequest& request) override;
};

class ScriptedMessageBoxes final : public platform::MessageBoxes {
public:
    std::deque<platform::MessageAnswer> answers;
    std::vector<platform::MessageRequest> shown;
    platform::MessageAnswer show(const platform::MessageRequest& request) override;
};

// A main window on the headless backend. The screen is 1280 x 1024 pixels; maximised, the client area is
// 1280 x 970.
struct Headless {
    static constexpr int maximisedWidth = 1280;
    static constexpr int maximisedHeight = 970;

    ManualEventQueue events;
    ScriptedImageProbe probe;
    RecordingPreloader preloader;
    FakeFileSystem files;
    RecordingTrash trash{files};
    ScriptedFileDialog fileDialog;
    ScriptedMessageBoxes messages;
    platform::Services services;
    std::unique_ptr<Form1> form;

    explicit Headless(platform::ScreenSize screen = {1280, 1024});

    // Form_Load, then the pending document completions.
    void start();
    // The user sizes the window (client pixels) or minimises and restores it.
    void resizeClient(int width, int height);
    void minimise();
    void restore(int width, int height);
    // Puts full paths into the queue through the model, as the folder scan does.
    void fillQueue(const std::vector<std::string>& paths);
    // Puts the queue's position on entry `pos` (from 1; 0 before the first), as steps would have left it.
    void queueAt(int pos);
    // A folder of pictures of 64 x 48 pixels, opened through the dialog at `start` under `filter`.
    void openFolder(const std::string& folder, const std::vector<std::string>& names, const std::string& start,
                    int filter = 1);
};

}  // namespace gb::test
