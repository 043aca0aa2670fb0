// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and folders dragged onto a window from a file manager: accepted anywhere on the window (over a text box
// too) when every item dragged is a local file or folder, and handed over as the paths that a command line would
// give. Any other drag (text, a web address) is left to the widgets, which refuse it.

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QByteArray;
class QMimeData;
class QWidget;

namespace gb::qt {

class FileDrops : public QObject {
public:
    using Open = std::function<void(const std::vector<std::string>& paths)>;
    // `open` runs after the drop has ended (the file manager is not kept waiting while it shows a message).
    FileDrops(QWidget& window, Open open);

    // The local paths of the drag, byte for byte as the system names them; empty unless all of it is local files.
    static std::vector<std::string> localPaths(const QMimeData* data);
    // The path a file address names, its escapes decoded byte for byte (%FF is the byte 0xFF, whatever UTF-8
    // says; %00 a zero byte, which the opening refuses); nothing when it is no address of a file on this machine.
    static std::optional<std::string> localPath(const QByteArray& uri);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    Open open_;
    std::vector<std::string> dragged_;  // the local paths of the drag over the window, read as it entered
};

}  // namespace gb::qt
