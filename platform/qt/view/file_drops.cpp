// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/file_drops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSysInfo>
#include <QTimer>
#include <QWidget>

#include "platform/file_url.h"
#include "platform/qt/logging.h"

namespace gb::qt {

FileDrops::FileDrops(QWidget& window, Open open) : QObject(&window), window_(window), open_(std::move(open)) {
    // Without it no drag would reach the window where no widget takes drops; the filter sees the drag wherever
    // on the window it is.
    window_.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

std::optional<std::string> FileDrops::localPath(const QByteArray& uri) {
    // Qt's own decoding (QUrl::toLocalFile) makes text of the name, and a byte that is not UTF-8 becomes U+FFFD:
    // a file that exists would be missing. The address is read as bytes.
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    return platform::pathFromFileUrl(std::string_view(uri.constData(), static_cast<std::size_t>(uri.size())),
                                     std::string_view(host.constData(), static_cast<std::size_t>(host.size())));
}

std::vector<std::string> FileDrops::localPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    // The list as the source sent it (RFC 2483): one address a line, lines starting with '#' are comments.
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list"))) return paths;
    for (QByteArray line : data->data(QStringLiteral("text/uri-list")).split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const auto path = localPath(line);
        if (!path) return {};
        paths.push_back(*path);
    }
    return paths;
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop && type != QEvent::DragLeave)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &window_) return false;
    if (type == QEvent::DragLeave) {
        dragged_.clear();
        return false;
    }
    auto* drag = static_cast<QDropEvent*>(event);
    // The paths are read once, as the drag enters: the program that started the drag may have ended by the time
    // the drop is read (a source that quits once it has sent the drop), and each read is a round trip to it.
    if (type == QEvent::DragEnter || dragged_.empty()) dragged_ = localPaths(drag->mimeData());
    if (dragged_.empty()) return false;
    // The files are only read: the drop is a copy or a link, never a move, which would have the file manager
    // delete what it believes moved. A drag that offers only a move is refused here, before a text box could
    // take it as text.
    const Qt::DropActions offered = drag->possibleActions();
    if (!(offered & (Qt::CopyAction | Qt::LinkAction))) {
        drag->ignore();
        return true;
    }
    drag->setDropAction(offered & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    drag->accept();
    if (type == QEvent::Drop) {
        qCDebug(lcGlimmerbox) << "dropped" << dragged_.size() << "paths";
        QTimer::singleShot(0, this, [this, paths = std::move(dragged_)] { open_(paths); });
        dragged_.clear();
    }
    return true;
}

}  // namespace gb::qt
