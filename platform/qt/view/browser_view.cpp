// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/browser_view.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMouseEvent>
#include <QPainter>
#include <QPromise>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QThreadPool>

#include "platform/file_url.h"
#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/linked_images.h"

namespace gb::qt {

namespace {
constexpr int frameMs = 16;
// The longest a picture decoding keeps its predecessor on screen: past that the page shows it is loading.
constexpr int heldMostMs = 1000;

QString pathOf(const QTextImageFormat& format) {
    const auto path = platform::pathFromFileUrl(toStdString(format.name()));
    return path ? toQString(*path) : format.name();
}
// A browser ends an open link where the next one starts; Qt's importer would nest them instead, which costs
// time growing with the depth (thousands of thumbnails) and changes nothing drawn.
QString closeOpenLinks(const QString& html) {
    QString out;
    out.reserve(html.size() + html.size() / 16);
    bool open = false;
    qsizetype from = 0;
    for (qsizetype i = html.indexOf('<'); i >= 0; i = html.indexOf('<', i + 1)) {
        const QStringView rest = QStringView(html).mid(i + 1);
        const bool closing = rest.startsWith(u'/');
        const QStringView name = closing ? rest.mid(1) : rest;
        if (name.size() < 2 || name.front().toLower() != u'a' || !(name[1].isSpace() || name[1] == u'>')) continue;
        if (!closing && open) {
            out += QStringView(html).mid(from, i - from);
            out += QStringLiteral("</a>");
            from = i;
        }
        open = !closing;
    }
    out += QStringView(html).mid(from);
    return out;
}

// The part of a picture drawn at `rect` that the painter is asked to paint, in the picture's coordinates.
QRect visibleArea(const QPainter* painter, const QRectF& rect) {
    const QRectF exposed = painter->hasClipping() ? painter->clipBoundingRect().intersected(rect) : rect;
    return exposed.translated(-rect.topLeft()).toAlignedRect();
}

}  // namespace

ImageObjectHandler::ImageObjectHandler(ImageLoader& loader, bool thumbnails, QObject* parent)
    : QObject(parent), loader_(loader), thumbnails_(thumbnails) {}

ImageObjectHandler::Wanted ImageObjectHandler::takeWanted(const QString& path) {
    const auto it = wanted_.constFind(path);
    if (it == wanted_.constEnd()) return loader_.isAnimated(path) ? Wanted::Picture : Wanted::No;
    const bool thumbnail = *it;
    wanted_.erase(it);
    return thumbnail ? Wanted::Thumbnail : Wanted::Picture;
}

QSizeF ImageObjectHandler::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    const QTextImageFormat image = format.toImageFormat();
    qreal w = image.width();
    qreal h = image.height();
    if (w > 0 && h > 0) return {w, h};
    const QSizeF natural = loader_.naturalSize(pathOf(image));
    if (!natural.isValid() || natural.isEmpty()) return {w > 0 ? w : 16, h > 0 ? h : 16};
    if (w > 0) return {w, natural.height() * w / natural.width()};
    if (h > 0) return {natural.width() * h / natural.height(), h};
    return natural;
}

void ImageObjectHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                    const QTextFormat& format) {
    const QString path = pathOf(format.toImageFormat());
    const QImage image = loader_.image(path, rect.size().toSize(), thumbnails_);
    if (!image.isNull()) {
        if (image.size() == loader_.toDevice(rect.size().toSize())) {
            // Decoded at the size drawn, in device pixels: one picture pixel to one screen pixel.
            painter->drawImage(rect, image);
        } else {
            // Drawn larger than the picture is: only the part in view is enlarged.
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawImage(rect, image);
        }
        if (!thumbnails_) {
            lastDrawn_ = {path, rect.size().toSize(), painter->transform().mapRect(rect)};
            loader_.shownDrawn(path);
        }
        qCDebug(lcGlimmerbox) << "drawn" << path << "at" << rect.size().toSize();
        emit pictureDrawn(path, rect.size().toSize());
    } else if (const ImageLoader::Part part = loader_.part(path, rect.size().toSize(), visibleArea(painter, rect));
               !part.image.isNull()) {
        // What is in view, decoded ahead of the whole picture, which follows.
        painter->drawImage(rect.topLeft() + QPointF(part.area.topLeft()), part.image);
        qCDebug(lcGlimmerbox) << "drawn part" << part.area << "of" << path;
        wanted_.insert(path, false);
        emit pictureDrawn(path, rect.size().toSize());
    } else if (const QString error = loader_.errorFor(path); !error.isEmpty() && thumbnails_) {
        // No sentence fits a thumbnail: a cross in its place marks a file that cannot be shown.
        painter->fillRect(rect, QColor(255, 240, 240));
        painter->setPen(QPen(QColor(160, 0, 0), std::max(1.0, rect.width() / 16)));
        const QRectF cross = rect.adjusted(rect.width() / 3, rect.height() / 3, -rect.width() / 3, -rect.height() / 3);
        painter->drawLine(cross.topLeft(), cross.bottomRight());
        painter->drawLine(cross.topRight(), cross.bottomLeft());
    } else if (!error.isEmpty()) {
        // The picture's place says which file could not be shown and why.
        painter->fillRect(rect, QColor(255, 240, 240));
        painter->setPen(QColor(160, 0, 0));
        painter->drawText(rect.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                          QStringLiteral("Cannot show %1: %2").arg(QFileInfo(path).fileName(), error));
    } else {
        // A placeholder until the decoded picture arrives.
        painter->fillRect(rect, QColor(0, 0, 0, 24));
        wanted_.insert(path, thumbnails_);
    }
}

BrowserView::BrowserView(platform::Browser& model, ImageLoader& loader, QWidget* parent)
    : QTextBrowser(parent), model_(model), loader_(loader) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setFrameShape(QFrame::StyledPanel);
    images_ = new ImageObjectHandler(loader_, model_.thumbnailPage, this);
    document()->documentLayout()->registerHandler(QTextFormat::ImageObject, images_);
    connect(images_, &ImageObjectHandler::pictureDrawn, this, &BrowserView::pictureDrawn);
    thumbnailsArrived_.setSingleShot(true);
    thumbnailsArrived_.setInterval(frameMs);
    connect(&thumbnailsArrived_, &QTimer::timeout, this, [this] { viewport()->update(); });
    heldTooLong_.setSingleShot(true);
    heldTooLong_.setInterval(heldMostMs);
    connect(&heldTooLong_, &QTimer::timeout, this, &BrowserView::releaseHeld);
    connect(&loader_, &ImageLoader::ready, this, [this](const QString& path) {
        if (path == picture_) {
            // The picture awaited is there, or failed (its thumbnail arriving is not it).
            if (!loader_.decoding(picture_, pictureSize_)) releaseHeld();
            showDecodeError();
        }
        switch (images_->takeWanted(path)) {
            case ImageObjectHandler::Wanted::Picture: viewport()->update(); break;
            case ImageObjectHandler::Wanted::Thumbnail:
                if (!thumbnailsArrived_.isActive()) thumbnailsArrived_.start();
                break;
            case ImageObjectHandler::Wanted::No: break;
        }
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int y) {
        if (strip_) showStrip();
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
    // What was on screen, should the new page's picture still be decoding.
    const ImageObjectHandler::Drawn previous = picture_.isEmpty() ? ImageObjectHandler::Drawn{} : images_->lastDrawn();
    const QColor previousBackground = palette().color(QPalette::Base);
    QPalette p = palette();
    p.setColor(QPalette::Base,
               doc.bgColor().empty() ? QColor(Qt::white) : QColor(QString::fromStdString(doc.bgColor())));
    setPalette(p);
    QElapsedTimer clock;
    clock.start();
    strip_.reset();
    ++stripReads_;
    // A new page is shown from its start, as in a web browser. (QTextEdit's setHtml scrolls to its text cursor,
    // which in a picture taller than the view sits at the picture's foot: a photo at 100 % showed its bottom.)
    const auto fromStart = [this] {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    };
    if (startStrip(doc.bodyHTML())) {
        fromStart();
        showStrip();
    } else {
        const QString html = toQString(doc.bodyHTML());
        if (const auto page = readLinkedImages(html)) fillLinkedImages(*document(), *page, 0, page->pieces.size());
        else setHtml(closeOpenLinks(html));
        fromStart();
    }
    const qint64 parsed = clock.elapsed();
    nameForScreenReaders();
    askForPictures();
    holdPreviousPicture(previous, previousBackground);
    showDecodeError();
    const qint64 fetched = clock.elapsed();
    reportHeight();
    qCDebug(lcGlimmerbox) << objectName() << "page of" << doc.bodyHTML().size() << "bytes set in" << parsed
                          << "ms, thumbnails asked for in" << fetched - parsed << "ms, laid out in"
                          << clock.elapsed() - fetched << "ms";
}

// A page showing one picture file is read out as that picture: "Picture beach.jpg, 1600 by 1200"; one that
// cannot be shown says so, with the reason: "Picture scan.jpg cannot be shown. This is a 12-bit JPEG, ..."
// (one whose decoding fails is named so by showDecodeError).
void BrowserView::nameForScreenReaders() {
    const platform::Document& doc = model_.document();
    const std::string& location = model_.locationURL();
    const bool file = location != platform::aboutBlank && !location.empty();
    const bool picture =
        file && doc.images().size() == 1 && document()->toRawText().contains(QChar::ObjectReplacementCharacter);
    QString name = toQString(model_.accessibleName);
    picture_.clear();
    const QString fileName = QFileInfo(toQString(location)).fileName();
    if (picture) {
        const auto& image = doc.images().front();
        picture_ = toQString(location);
        name = QStringLiteral("Picture %1, %2 by %3").arg(fileName).arg(image.width).arg(image.height);
    } else if (file && doc.images().empty() && !model_.thumbnailPage) {
        // The page that says why the file cannot be shown, with the reason it shows.
        const std::string& why = model_.pageError();
        if (!why.empty()) name = QStringLiteral("Picture %1 cannot be shown. %2").arg(fileName, toQString(why));
    }
    if (accessibleName() != name) setAccessibleName(name);
}

void BrowserView::askForPictures() {
    QList<QPair<QString, QSize>> thumbnails;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (!image.isValid()) continue;
            // A file changed on disk since it was read is read again.
            loader_.revalidate(pathOf(image));
            if (!picture_.isEmpty()) {
                picture_ = pathOf(image);  // the page's one picture, as the loader knows it
                pictureSize_ = images_->intrinsicSize(document(), 0, image).toSize();
            }
            if (model_.thumbnailPage && !strip_ && image.width() > 0 && image.height() > 0)
                thumbnails.append({pathOf(image), QSize(qRound(image.width()), qRound(image.height()))});
        }
    }
    if (!thumbnails.isEmpty()) loader_.fetchThumbnails(thumbnails);
}

void BrowserView::askForStripThumbnails() {
    // The loader takes as many as its thumbnail store holds, in page order.
    QList<QPair<QString, QSize>> thumbnails;
    for (const LinkedImages::Piece& piece : strip_->page().pieces) {
        if (piece.kind != LinkedImages::Piece::Image) continue;
        QTextImageFormat image;
        image.setName(piece.source);
        thumbnails.append({pathOf(image), QSize(piece.width, piece.height)});
        if (thumbnails.size() >= ImageLoader::thumbnailsHeld) break;
    }
    loader_.fetchThumbnails(thumbnails);
}

void BrowserView::holdPreviousPicture(const ImageObjectHandler::Drawn& previous, const QColor& background) {
    std::optional<Held> before = std::move(held_);
    held_.reset();
    const bool decoding = !picture_.isEmpty() && !previous.path.isEmpty() && previous.path != picture_ &&
                          loader_.image(picture_, pictureSize_).isNull() && loader_.decoding(picture_, pictureSize_);
    // What was on screen stays there: the last picture painted (while the loader still has it), on the colour it
    // was painted on.
    const QImage image = !decoding ? QImage() : before ? before->image : loader_.held(previous.path, previous.size);
    if (image.isNull()) {
        heldTooLong_.stop();
        return;
    }
    held_ = Held{image, before ? before->place : previous.place, before ? before->background : background};
    if (!before) heldTooLong_.start();
}

void BrowserView::releaseHeld() {
    if (!held_) return;
    held_.reset();
    heldTooLong_.stop();
    viewport()->update();
}

void BrowserView::paintEvent(QPaintEvent* event) {
    if (!held_) {
        QTextBrowser::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(event->rect(), held_->background);
    painter.drawImage(held_->place, held_->image);
}

void BrowserView::reportHeight() {
    document()->setTextWidth(viewport()->width());
    const qreal height = strip_ ? strip_->height() : document()->size().height();
    model_.document().platformScrollHeight(static_cast<int>(height));
}

bool BrowserView::startStrip(const std::string& html) {
    if (!model_.thumbnailPage || readWholeNow_) return false;
    const std::size_t entries = ThumbnailStrip::countImages(html);
    if (entries < ThumbnailStrip::windowedFrom) return false;
    auto first = readLinkedImages(toQString(std::string(ThumbnailStrip::firstEntries(html, firstRead))));
    if (!first || !ThumbnailStrip::fits(*first, entries)) return false;
    strip_.emplace(std::move(*first), entries);
    // The whole page is read off this thread; its entries fill the window when it is done.
    auto promise = std::make_shared<QPromise<std::optional<LinkedImages>>>();
    auto* watcher = new QFutureWatcher<std::optional<LinkedImages>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, read = stripReads_, entries] {
        watcher->deleteLater();
        if (read != stripReads_ || !strip_) return;  // another page came meanwhile
        std::optional<LinkedImages> whole = watcher->result();
        if (whole && ThumbnailStrip::fits(*whole) && whole->pieces.size() / 3 == entries) {
            strip_->complete(std::move(*whole));
            showStrip();
            askForStripThumbnails();
        } else {
            // Not a strip after all: laid out whole, as any page.
            readWholeNow_ = true;
            render();
            readWholeNow_ = false;
        }
    });
    watcher->setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, markup = html] {
        promise->start();
        promise->addResult(readLinkedImages(toQString(markup)));
        promise->finish();
    });
    return true;
}

void BrowserView::showStrip() {
    QScrollBar* bar = verticalScrollBar();
    const int y = bar->value();
    // The page keeps its height and place while its window moves: no scroll is seen, by the model or the view.
    const QSignalBlocker quiet(bar);
    if (!strip_->show(*document(), y, y + viewport()->height())) return;
    document()->setTextWidth(viewport()->width());
    bar->setRange(0, std::max(0, static_cast<int>(strip_->height()) - viewport()->height()));
    bar->setValue(y);
    askForPictures();
    viewport()->update();
}

void BrowserView::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    if (strip_) showStrip();
    reportHeight();
    showDecodeError();
}

void BrowserView::showDecodeError() {
    const QString error = picture_.isEmpty() ? QString() : loader_.errorFor(picture_);
    if (error.isEmpty()) {
        if (errorBand_) errorBand_->hide();
        return;
    }
    // A screen reader hears it too, not the size of a picture that is not there.
    const QString name = QStringLiteral("Picture %1 cannot be shown: %2.").arg(QFileInfo(picture_).fileName(), error);
    if (accessibleName() != name) setAccessibleName(name);
    if (!errorBand_) {
        errorBand_ = new QLabel(viewport());
        errorBand_->setWordWrap(true);
        errorBand_->setAlignment(Qt::AlignCenter);
        errorBand_->setTextFormat(Qt::PlainText);
        errorBand_->setMargin(8);
        errorBand_->setStyleSheet(QStringLiteral("background: rgb(255, 240, 240); color: rgb(160, 0, 0);"));
    }
    errorBand_->setText(QStringLiteral("Cannot show %1: %2").arg(QFileInfo(picture_).fileName(), error));
    const int width = viewport()->width();
    const int height = errorBand_->heightForWidth(width);
    errorBand_->setGeometry(0, std::max(0, (viewport()->height() - height) / 2), width, height);
    errorBand_->show();
}

void BrowserView::mousePressEvent(QMouseEvent* event) {
    QString href = anchorAt(event->position().toPoint());
    std::string url;
    if (!href.isEmpty()) {
        // A browser resolves a link to an absolute address; file paths become file URLs.
        url =
            href.startsWith("file:", Qt::CaseInsensitive) ? toStdString(href) : platform::toFileUrl(toStdString(href));
    }
    model_.document().userClick(url, {});
    event->accept();
}

}  // namespace gb::qt
