// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fast import for pages made only of line breaks, linked images and images (the thumbnail page): Qt's HTML
// importer costs about 0.15 ms an image, which is 150 ms of a frozen window for a folder of 1,000 pictures and
// seconds for tens of thousands; building the same document directly takes about 1 ms for 1,000.

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class QTextDocument;

namespace gb::qt {

// Such a page read: its title and, in order, its line breaks and images with the link each stands in.
struct LinkedImages {
    struct Piece {
        enum Kind { LineBreak, Image } kind;
        QString href;  // the link it stands in, empty outside one
        QString source;
        int width = 0, height = 0;
    };
    QString title;
    std::vector<Piece> pieces;
};
// Nothing for any other markup: a tag besides HTML, HEAD, TITLE, BODY, BR, A and IMG, text outside TITLE, or an
// IMG without a WIDTH and a HEIGHT.
std::optional<LinkedImages> readLinkedImages(const QString& html);

// Fills `doc` with the pieces [from, to) of `page` as QTextDocument::setHtml would: the same characters, image
// and link formats, and so the same layout.
void fillLinkedImages(QTextDocument& doc, const LinkedImages& page, std::size_t from, std::size_t to);

// Fills `doc` with the whole page as setHtml would; false, leaving `doc` untouched, for any other markup.
bool importLinkedImages(QTextDocument& doc, const QString& html);

}  // namespace gb::qt
