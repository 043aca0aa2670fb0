// A file manager's part in a drag, for the end-to-end tests: a small window that starts a drag when pressed,
// carrying the given items (file:// addresses, or "text:..." for plain text) and offering a copy or a move, as
// file managers do. Prints the action the drop target chose ("drop action 0" when it refused) after each drag.
//
//   drag_source ITEM...

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    QList<QUrl> urls;
    QString text;

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        if (!urls.isEmpty()) data->setUrls(urls);
        if (!text.isEmpty()) data->setText(text);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction chosen = drag->exec(Qt::CopyAction | Qt::MoveAction);
        std::printf("drop action %d\n", static_cast<int>(chosen));
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    DragSource source;
    for (int i = 1; i < argc; ++i) {
        const QString item = QString::fromLocal8Bit(argv[i]);
        if (item.startsWith("text:")) source.text = item.mid(5);
        else source.urls.append(QUrl(item));
    }
    source.setWindowTitle("drag source");
    source.resize(200, 200);
    source.show();
    return QApplication::exec();
}
