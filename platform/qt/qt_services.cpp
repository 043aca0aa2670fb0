// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <dirent.h>
#include <unistd.h>

#include <cerrno>

namespace gb::qt {

void QtEventQueue::post(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

void QtEventQueue::processPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::string QtFileSystem::currentDirectory() {
    return currentFolder().value_or(std::string());  // unknown, never guessed
}

bool QtFileSystem::setCurrentDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

std::vector<std::string> QtFileSystem::listFiles(const std::string& folder, const std::string& pattern) {
    return listFolder(QByteArray::fromStdString(folder.empty() ? std::string("/") : folder), pattern);
}

bool QtFileSystem::isFile(const std::string& path) { return isRegularFile(QByteArray::fromStdString(path)); }

bool QtFileSystem::isDirectory(const std::string& path) { return isDirectoryPath(QByteArray::fromStdString(path)); }

std::string QtFileSystem::specialKind(const std::string& path) {
    return specialFileKind(QByteArray::fromStdString(path));
}

std::string QtFileSystem::folderError(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return systemError(errno).toStdString();
    ::closedir(dir);
    return {};
}

std::string QtFileSystem::reachError(const std::string& path) {
    return qt::reachError(QByteArray::fromStdString(path));
}

platform::FileResult QtFileSystem::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return {true, {}};
    return {false, systemError(errno).toStdString()};
}

std::optional<platform::OpenFileAnswer> QtFileDialog::openFile(const platform::OpenFileRequest& request) {
    QStringList filters;
    for (const auto& f : request.filters) {
        QStringList patterns;
        for (const auto& p : f.patterns) patterns << QString::fromStdString(p);
        filters << QString::fromStdString(f.label) + " (" + patterns.join(' ') + ")";
    }
    QFileDialog dialog(nullptr, QString::fromStdString(request.title), toQString(request.initialFolder));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    platform::OpenFileAnswer answer;
    answer.path = toStdString(dialog.selectedFiles().constFirst());
    answer.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.filterIndex < 1) answer.filterIndex = 1;
    return answer;
}

platform::MessageAnswer QtMessageBoxes::show(const platform::MessageRequest& request) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(toQString(request.text));
    switch (request.icon) {
        case platform::MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case platform::MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case platform::MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case platform::MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case platform::MessageIcon::None: break;
    }
    if (request.buttons == platform::MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return platform::MessageAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    // Escape and the close box give the answer that keeps files.
    box.setEscapeButton(request.escapeAnswer == platform::MessageAnswer::Yes ? yes : no);
    box.exec();
    return box.clickedButton() == yes ? platform::MessageAnswer::Yes : platform::MessageAnswer::No;
}

}  // namespace gb::qt
