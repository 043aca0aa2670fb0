// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page of thousands of thumbnails one below the other (each a line break, a linked image and a line break),
// laid out only around what is in view. The document holds a window of the entries, and the margins of its root
// frame stand in for the entries above and below the window, so that the page's height, its scroll positions
// and where each thumbnail is drawn and clicked are those of the whole page. Laying out 40,000 thumbnails at
// once froze the window for over a second; a window of them takes about a millisecond.

#include <QTextDocument>

#include <cstddef>
#include <string_view>

#include "platform/qt/view/linked_images.h"

namespace gb::qt {

class ThumbnailStrip {
public:
    // Pages with fewer entries are laid out whole, as any other page.
    static constexpr std::size_t windowedFrom = 1000;

    // Whether the page (or its first entries) is such a strip, of at least `windowedFrom` entries of one size.
    static bool fits(const LinkedImages& page, std::size_t entries);
    static bool fits(const LinkedImages& page) { return fits(page, page.pieces.size() / 3); }
    // The number of images of a page's markup (UTF-8): one per entry of a strip.
    static std::size_t countImages(std::string_view html);
    // The markup of the first `entries` entries of a strip's page (all of it when it has no more).
    static std::string_view firstEntries(std::string_view html, std::size_t entries);

    // `page` holds the first entries (all, or as many as were read so far) of `entries`; the window shows those
    // it holds, and the place of the others stays empty until complete() gives the whole page.
    ThumbnailStrip(LinkedImages page, std::size_t entries) : page_(std::move(page)), entries_(entries) {}
    // A whole page. Its entries are counted before the page moves in.
    explicit ThumbnailStrip(LinkedImages page) : entries_(page.pieces.size() / 3) { page_ = std::move(page); }
    void complete(LinkedImages whole);

    // Makes sure `doc` holds the entries drawn between `top` and `bottom` (document coordinates) and a margin
    // of them around; false when it held them already.
    bool show(QTextDocument& doc, qreal top, qreal bottom);
    // The height of the whole page, known once it was shown; the document's own may tell only what is laid out
    // so far (Qt lays out what is in view first).
    qreal height() const { return height_; }
    const LinkedImages& page() const { return page_; }

private:
    void fill(QTextDocument& doc, std::size_t first, std::size_t last);

    LinkedImages page_;
    std::size_t entries_ = 0;
    qreal pitch_ = 0;   // the height of one entry
    qreal margin_ = 0;  // the document's own margin
    qreal height_ = 0;
    std::size_t first_ = 0, last_ = 0;  // the entries in the document
};

}  // namespace gb::qt
