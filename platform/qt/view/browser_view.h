// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browser control on QTextBrowser: renders the model document's markup, reports its height and scrolling,
// forwards clicks, and draws image elements through the image loader.

#include <QHash>
#include <QLabel>
#include <QTextBrowser>
#include <QTextObjectInterface>
#include <QTimer>

#include <optional>

#include "platform/browser.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/view/thumbnail_strip.h"

namespace gb::qt {

class BrowserView;

// Draws <IMG> elements at their WIDTH and HEIGHT (the natural size when none is given) from decoded images.
class ImageObjectHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    // `thumbnails`: the pictures drawn are the thumbnails of a page of them.
    ImageObjectHandler(ImageLoader& loader, bool thumbnails, QObject* parent);
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;

signals:
    // A picture was painted from its decoded image (not a placeholder).
    void pictureDrawn(const QString& path, QSize size);

public:
    // Whether a picture that just arrived is one this page waits for; it is then no longer waited for.
    enum class Wanted { No, Picture, Thumbnail };
    Wanted takeWanted(const QString& path);

    // The last whole picture painted: which, at what size, and where it was on the viewport.
    struct Drawn {
        QString path;
        QSize size;
        QRectF place;
    };
    const Drawn& lastDrawn() const { return lastDrawn_; }

private:
    Drawn lastDrawn_;
    ImageLoader& loader_;
    const bool thumbnails_;
    QHash<QString, bool> wanted_;  // path -> drawn as a thumbnail
};

class BrowserView : public QTextBrowser {
    Q_OBJECT
public:
    BrowserView(platform::Browser& model, ImageLoader& loader, QWidget* parent);

    // Renders the model's document again (markup, background) and reports the page height.
    void render();

signals:
    // A picture was painted from its decoded image; the benchmarks time the steps by it.
    void pictureDrawn(const QString& path, QSize size);

protected:
    // Pictures are drawn by the image handler from the loader; the text engine never reads the files.
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void reportHeight();
    void nameForScreenReaders();
    // A picture on show that could not be decoded is named, with the reason, on a band as wide as the view:
    // readable however small the picture's own place is.
    void showDecodeError();
    // The page's pictures whose files changed on disk are read again; its thumbnails are decoded in the
    // background, those in view first.
    void askForPictures();
    // A strip's thumbnails are decoded in the background in page order, not only those of its window.
    void askForStripThumbnails();
    // A page whose one picture is still decoding keeps the picture shown before it on screen until it can be
    // painted: one step, one change of picture, never an empty page in between.
    void holdPreviousPicture(const ImageObjectHandler::Drawn& previous, const QColor& background);
    void releaseHeld();
    // A thumbnail page of thousands is laid out around what is in view only (ThumbnailStrip), and read in the
    // background but for its first entries and its count: false for any other page.
    bool startStrip(const std::string& html);
    void showStrip();
    static constexpr std::size_t firstRead = 200;
    quint64 stripReads_ = 0;  // which page a reading in the background was for
    bool readWholeNow_ = false;

    platform::Browser& model_;
    ImageLoader& loader_;
    QString picture_;    // the picture file the page shows alone, if it does
    QSize pictureSize_;  // and the size it is drawn at
    struct Held {
        QImage image;
        QRectF place;
        QColor background;
    };
    std::optional<Held> held_;
    QTimer heldTooLong_;
    std::optional<ThumbnailStrip> strip_;
    QLabel* errorBand_ = nullptr;
    ImageObjectHandler* images_ = nullptr;
    // Thumbnails arrive by the hundred a second: the page is painted again at most once a frame for them.
    QTimer thumbnailsArrived_;
};

}  // namespace gb::qt
