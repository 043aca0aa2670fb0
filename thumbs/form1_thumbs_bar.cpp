// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "display/placement.h"
#include "platform/file_url.h"

namespace gb {

namespace {
const std::string emptyThumbsPage = std::string(texts::thumbsPageHead) + texts::thumbsPageTail;
}  // namespace

void Form1::RefreshThumbs() {
    BuildThumbsPage();
    WebBrwT.Navigate2(platform::aboutBlank);
    HDocBrwT->setActiveElementInnerHTML(ThumbsList.text());
}

void Form1::menuThumb_Click() {
    if (!menuThumb.checked()) {
        menuThumb.setChecked(true);
        // The bar always shows the page of the queue as it is now.
        if (ThumbsList.text() != emptyThumbsPage && HDocBrwT->bodyHTML() != ThumbsList.text())
            HDocBrwT->setActiveElementInnerHTML(ThumbsList.text());
        placeThumbsBar(true);
        SyncThumbs();
    } else {
        menuThumb.setChecked(false);
        placeThumbsBar(false);
    }
}

void Form1::placeThumbsBar(bool on) {
    placeImageBrowser(WebBrwI, WebBrwT, on, window.scaleWidth());
    Risoluzione.setLeft(WebBrwI.left() + 2);
}

void Form1::WebBrwT_DocumentComplete(const std::string& /*url*/) {
    if (ThumbsList.text() != emptyThumbsPage) HDocBrwT->setActiveElementInnerHTML(ThumbsList.text());
    if (WebBrwT.visible() && thumbsScroll == ThumbsScroll::ToCurrent) SyncThumbs();
    thumbsScroll = ThumbsScroll::Stay;
}

// A thumbnail's link arrives as the file URL the browser resolved; every escape in it is decoded, so any name
// finds its entry in the queue.
bool Form1::HDocBrwT_onclick() {
    const std::string& value = HDocBrwT->activeElementValue();
    if (value.size() <= 8) return false;
    const auto path = platform::pathFromFileUrl(value);
    if (!path || path->empty()) return false;
    choice.startFile = *path;
    queue.setOnShow(*path);
    labelShow.setCaption(*path);
    slideshow.pause();
    WebBrwI.Navigate2(*path);
    queue.jumpTo(*path);
    return false;
}

}  // namespace gb
