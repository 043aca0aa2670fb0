#pragma once
// A fast import for pages made only of line breaks, linked images and images (the thumbnail page): Qt's HTML
// importer costs about 0.15 ms an image, which is 150 ms of a frozen window for a folder of 1,000 pictures and
// seconds for tens of thousands; building the same document directly takes about 1 ms for 1,000.

#include <QString>

class QTextDocument;

namespace gb::qt {

// Fills `doc` as QTextDocument::setHtml would for such a page: the same characters, image and link formats,
// and so the same layout. Returns false, leaving `doc` untouched, for any other markup: a tag besides HTML,
// HEAD, TITLE, BODY, BR, A and IMG, text outside TITLE, or an IMG without a WIDTH and a HEIGHT.
bool importLinkedImages(QTextDocument& doc, const QString& html);

}  // namespace gb::qt
