// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services of platform/services.h on Qt.

#include <QImageReader>
#include <QObject>
#include <QSize>
#include <QString>
#include <string>

#include "platform/qt/byte_paths.h"
#include "platform/services.h"

namespace gb::qt {

class QtEventQueue final : public platform::EventQueue {
public:
    void post(std::function<void()> work) override;
    void processPending() override;
};

class QtFileSystem final : public platform::FileSystem {
public:
    std::string currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
    std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) override;
    bool isFile(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    std::string specialKind(const std::string& path) override;
    std::string folderError(const std::string& folder) override;
    std::string reachError(const std::string& path) override;
    platform::FileResult removeFile(const std::string& path) override;
};

// The freedesktop.org Trash, our own (platform/qt/trash.cpp): the file lands in a trash a file manager finds, with
// a record a trash client can restore from, also for names that are not UTF-8.
class QtTrash final : public platform::Trash {
public:
    platform::FileResult moveToTrash(const std::string& path) override;
};

class QtFileDialog final : public platform::FileDialog {
public:
    std::optional<platform::OpenFileAnswer> openFile(const platform::OpenFileRequest& request) override;
};

class QtMessageBoxes final : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(const platform::MessageRequest& request) override;
};

}  // namespace gb::qt
