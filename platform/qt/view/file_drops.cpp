#include "platform/qt/view/file_drops.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "platform/qt/logging.h"

namespace gb::qt {

FileDrops::FileDrops(QWidget& window, Open open) : QObject(&window), window_(window), open_(std::move(open)) {
    // Without it no drag would reach the window where no widget takes drops; the filter sees the drag wherever
    // on the window it is.
    window_.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

std::vector<std::string> FileDrops::localPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) return {};
        paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
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
