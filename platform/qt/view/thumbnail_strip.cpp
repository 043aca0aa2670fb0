// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/thumbnail_strip.h"

#include <QTextFrame>

#include <algorithm>
#include <cmath>

namespace gb::qt {

namespace {
constexpr std::size_t piecesPerEntry = 3;
}

bool ThumbnailStrip::fits(const LinkedImages& page, std::size_t entries) {
    const auto& pieces = page.pieces;
    if (pieces.size() % piecesPerEntry != 0 || pieces.empty() || entries < windowedFrom) return false;
    using Piece = LinkedImages::Piece;
    for (std::size_t i = 0; i < pieces.size(); i += piecesPerEntry) {
        const Piece& image = pieces[i + 1];
        if (pieces[i].kind != Piece::LineBreak || image.kind != Piece::Image ||
            pieces[i + 2].kind != Piece::LineBreak || image.width != pieces[1].width ||
            image.height != pieces[1].height)
            return false;
    }
    return true;
}

namespace {
// Where the next "<img" (in any case) starts at or after `from`; npos when there is none.
std::size_t nextImage(std::string_view html, std::size_t from) {
    const auto lower = [](char c) { return static_cast<char>(c | 0x20); };
    for (std::size_t at = html.find('<', from); at != std::string_view::npos; at = html.find('<', at + 1))
        if (at + 3 < html.size() && lower(html[at + 1]) == 'i' && lower(html[at + 2]) == 'm' &&
            lower(html[at + 3]) == 'g')
            return at;
    return std::string_view::npos;
}
}  // namespace

std::size_t ThumbnailStrip::countImages(std::string_view html) {
    std::size_t count = 0;
    for (std::size_t at = nextImage(html, 0); at != std::string_view::npos; at = nextImage(html, at + 4)) ++count;
    return count;
}

std::string_view ThumbnailStrip::firstEntries(std::string_view html, std::size_t entries) {
    // An entry ends with the line break after its image.
    std::size_t at = 0;
    for (std::size_t n = 0; n < entries; ++n) {
        at = nextImage(html, n == 0 ? 0 : at + 4);
        if (at == std::string_view::npos) return html;
    }
    const std::size_t end = html.find('>', at);
    const std::size_t lineBreak = end == std::string_view::npos ? end : html.find('>', html.find('<', end));
    return lineBreak == std::string_view::npos ? html : html.substr(0, lineBreak + 1);
}

void ThumbnailStrip::complete(LinkedImages whole) {
    page_ = std::move(whole);
    first_ = last_ = 0;  // the window is filled again, now with every entry
}

void ThumbnailStrip::fill(QTextDocument& doc, std::size_t first, std::size_t last) {
    // Entries not read yet leave their place empty: an empty window still ends with the page's last, empty
    // line, so the height stays that of the whole page.
    const std::size_t read = page_.pieces.size() / piecesPerEntry;
    const std::size_t shownLast = std::min(last, read), shownFirst = std::min(first, shownLast);
    fillLinkedImages(doc, page_, shownFirst * piecesPerEntry, shownLast * piecesPerEntry);
    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setTopMargin(margin_ + static_cast<qreal>(shownFirst == shownLast ? first : shownFirst) * pitch_);
    frame.setBottomMargin(margin_ +
                          static_cast<qreal>(entries_ - (shownFirst == shownLast ? first : shownLast)) * pitch_);
    doc.rootFrame()->setFrameFormat(frame);
    first_ = first;
    last_ = last;
}

bool ThumbnailStrip::show(QTextDocument& doc, qreal top, qreal bottom) {
    if (pitch_ <= 0) {
        // One entry and two entries laid out tell the height of an entry, the same for all.
        margin_ = doc.documentMargin();
        fill(doc, 0, 1);
        const qreal one = doc.size().height();
        fill(doc, 0, 2);
        pitch_ = doc.size().height() - one;
        if (pitch_ <= 0) pitch_ = 1;
        height_ = one + static_cast<qreal>(entries_ - 1) * pitch_;
        first_ = last_ = 0;
    }
    const auto entryAt = [&](qreal y) {
        const qreal index = std::floor((y - margin_) / pitch_);
        return static_cast<std::size_t>(std::clamp<qreal>(index, 0, static_cast<qreal>(entries_)));
    };
    const std::size_t from = entryAt(top), to = std::min(entries_, entryAt(bottom) + 1);
    if (last_ > first_ && from >= first_ && to <= last_) return false;
    // A screen's worth of entries on either side, so that scrolling rebuilds the window now and then only.
    const std::size_t screen = to - from + 1;
    fill(doc, from > screen ? from - screen : 0, std::min(entries_, to + screen));
    return true;
}

}  // namespace gb::qt
