#include "platform/qt/view/thumbnail_strip.h"

#include <QTextFrame>

#include <algorithm>
#include <cmath>

namespace gb::qt {

namespace {
constexpr std::size_t piecesPerEntry = 3;
}

bool ThumbnailStrip::fits(const LinkedImages& page) {
    const auto& pieces = page.pieces;
    if (pieces.size() % piecesPerEntry != 0 || pieces.size() / piecesPerEntry < windowedFrom) return false;
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

void ThumbnailStrip::fill(QTextDocument& doc, std::size_t first, std::size_t last) {
    fillLinkedImages(doc, page_, first * piecesPerEntry, last * piecesPerEntry);
    QTextFrameFormat frame = doc.rootFrame()->frameFormat();
    frame.setTopMargin(margin_ + static_cast<qreal>(first) * pitch_);
    frame.setBottomMargin(margin_ + static_cast<qreal>(entries_ - last) * pitch_);
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
