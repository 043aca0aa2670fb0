// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the logic needs from the system besides its controls. Qt implements these in platform/qt; the tests
// bring a headless set.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gb::platform {

// Pending window events. post() queues work for the UI thread; processPending() runs what is queued now
// (a handler that yields to pending events).
class EventQueue {
public:
    virtual ~EventQueue() = default;
    virtual void post(std::function<void()> work) = 0;
    virtual void processPending() = 0;
};

struct ImageInfo {
    bool ok = false;
    int width = 0;  // natural size, upright (EXIF orientation applied)
    int height = 0;
    std::string error;  // why the file cannot be shown, in a user's words
};

// Reads an image file's header. Where reading a file can take long (a slow disk), `probe` answers from what is
// known and says "not known yet" (not ok, no error) while the header is read in the background; `probeLater`
// calls `done` on the window's thread once it is known (at once when it is).
class ImageProbe {
public:
    virtual ~ImageProbe() = default;
    virtual ImageInfo probe(const std::string& path) = 0;
    virtual void probeLater(const std::string& path, std::function<void(const ImageInfo&)> done) { done(probe(path)); }
};

// Decodes pictures ahead of need, at the size they will be drawn. Each call states everything wanted now, most
// wanted first; what an earlier call asked for and this one does not is dropped unless its decoding has started.
struct PreloadRequest {
    std::string path;
    int width = 0;
    int height = 0;
    bool operator==(const PreloadRequest&) const = default;
};

class Preloader {
public:
    virtual ~Preloader() = default;
    virtual void preload(const std::vector<PreloadRequest>& wanted) = 0;
};

struct FileResult {
    bool ok = false;
    std::string error;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Empty when the system cannot give it (a path deeper than its limit).
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    // Names (not paths) of the regular, non-hidden files of `folder` matching `pattern` ("*.jpg"), without
    // regard to case, in the order the system lists them.
    virtual std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) = 0;
    virtual bool isFile(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    // What stands at `path` when it is neither a regular file nor a folder ("a named pipe (FIFO)", "a socket",
    // "a device"); empty otherwise, and when nothing is there.
    virtual std::string specialKind(const std::string& path) = 0;
    // Why the names of `folder` cannot be listed, in a user's words ("Permission denied"); empty when they can.
    virtual std::string folderError(const std::string& folder) = 0;
    // Why what stands at `path` cannot be reached, or a folder there entered, in a user's words ("Permission
    // denied", "the folder /a cannot be entered (Permission denied)"); empty when it can, and when nothing is there.
    virtual std::string reachError(const std::string& path) = 0;
    virtual FileResult removeFile(const std::string& path) = 0;
};

class Trash {
public:
    virtual ~Trash() = default;
    // Moves the file to the user's trash, where a file manager can restore it.
    virtual FileResult moveToTrash(const std::string& path) = 0;
};

struct FileFilter {
    std::string label;                  // "Image Files"
    std::vector<std::string> patterns;  // "*.jpg", ...
};

struct OpenFileRequest {
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // 1-based
    std::string initialFolder;
};

struct OpenFileAnswer {
    std::string path;
    int filterIndex = 1;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Nothing when the user cancels.
    virtual std::optional<OpenFileAnswer> openFile(const OpenFileRequest& request) = 0;
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string text;
    std::string title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // The answer that Escape and the close box give: the one that keeps files.
    MessageAnswer escapeAnswer = MessageAnswer::Ok;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const MessageRequest& request) = 0;
};

// The screen the main window opens on, in pixels.
struct ScreenSize {
    int widthPixels = 0;
    int heightPixels = 0;
};

struct Services {
    EventQueue& events;
    ImageProbe& images;
    Preloader& preloader;
    FileSystem& files;
    Trash& trash;
    FileDialog& fileDialog;
    MessageBoxes& messages;
    ScreenSize screen;
};

}  // namespace gb::platform
