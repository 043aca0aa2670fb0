#include "platform/qt/browser_view.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextImageFormat>

#include "platform/file_url.h"
#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"

namespace gb::qt {

namespace {
QString pathOf(const QTextImageFormat& format) {
    const auto path = platform::pathFromFileUrl(toStdString(format.name()));
    return path ? toQString(*path) : format.name();
}
}  // namespace

ImageObjectHandler::ImageObjectHandler(ImageLoader& loader, QObject* parent) : QObject(parent), loader_(loader) {}

QSizeF ImageObjectHandler::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    const QTextImageFormat image = format.toImageFormat();
    qreal w = image.width();
    qreal h = image.height();
    if (w > 0 && h > 0) return {w, h};
    const auto file = openForReading(pathOf(image));
    if (!file) return {w > 0 ? w : 16, h > 0 ? h : 16};
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    QSizeF natural = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) natural.transpose();
    if (!natural.isValid() || natural.isEmpty()) return {w > 0 ? w : 16, h > 0 ? h : 16};
    if (w > 0) return {w, natural.height() * w / natural.width()};
    if (h > 0) return {natural.width() * h / natural.height(), h};
    return natural;
}

void ImageObjectHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                    const QTextFormat& format) {
    const QString path = pathOf(format.toImageFormat());
    const QImage image = loader_.image(path, rect.size().toSize());
    if (!image.isNull()) {
        painter->drawImage(rect.topLeft(), image);
        qCDebug(lcGlimmerbox) << "drawn" << path << "at" << rect.size().toSize();
    } else if (const QString error = loader_.errorFor(path); !error.isEmpty()) {
        // The picture's place says which file could not be shown and why.
        painter->fillRect(rect, QColor(255, 240, 240));
        painter->setPen(QColor(160, 0, 0));
        painter->drawText(rect.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                          QStringLiteral("Cannot show %1: %2").arg(QFileInfo(path).fileName(), error));
    } else {
        // A placeholder until the decoded picture arrives.
        painter->fillRect(rect, QColor(0, 0, 0, 24));
        wanted_.insert(path);
    }
}

BrowserView::BrowserView(platform::Browser& model, ImageLoader& loader, QWidget* parent)
    : QTextBrowser(parent), model_(model), loader_(loader) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setFrameShape(QFrame::StyledPanel);
    images_ = new ImageObjectHandler(loader_, this);
    document()->documentLayout()->registerHandler(QTextFormat::ImageObject, images_);
    connect(&loader_, &ImageLoader::ready, this, [this](const QString& path) {
        if (images_->takeWanted(path)) viewport()->update();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int y) {
        model_.document().platformScrolled(horizontalScrollBar()->value(), y);
    });
    model_.document().onChanged = [this] { render(); };
    model_.document().onScroll = [this] {
        horizontalScrollBar()->setValue(model_.document().scrollX());
        verticalScrollBar()->setValue(model_.document().scrollY());
    };
    render();
}

QVariant BrowserView::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource) return {};
    return QTextBrowser::loadResource(type, name);
}

void BrowserView::render() {
    const platform::Document& doc = model_.document();
    QPalette p = palette();
    p.setColor(QPalette::Base, doc.bgColor().empty() ? QColor(Qt::white) : QColor(QString::fromStdString(doc.bgColor())));
    setPalette(p);
    QElapsedTimer clock;
    clock.start();
    setHtml(toQString(doc.bodyHTML()));
    const qint64 parsed = clock.elapsed();
    reportHeight();
    qCDebug(lcGlimmerbox) << objectName() << "page of" << doc.bodyHTML().size() << "bytes set in" << parsed
                          << "ms, laid out in" << clock.elapsed() - parsed << "ms";
}

void BrowserView::reportHeight() {
    document()->setTextWidth(viewport()->width());
    model_.document().platformScrollHeight(static_cast<int>(document()->size().height()));
}

void BrowserView::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    reportHeight();
}

void BrowserView::mousePressEvent(QMouseEvent* event) {
    QString href = anchorAt(event->position().toPoint());
    std::string url;
    if (!href.isEmpty()) {
        // A browser resolves a link to an absolute address; file paths become file URLs.
        url = href.startsWith("file:", Qt::CaseInsensitive) ? toStdString(href) : platform::toFileUrl(toStdString(href));
    }
    model_.document().userClick(url, {});
    event->accept();
}

}  // namespace gb::qt
