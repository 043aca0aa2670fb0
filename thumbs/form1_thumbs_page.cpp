// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "platform/browser.h"

namespace gb {

// One link and one 50 x 50 image per queue entry, in queue order. Paths stand in attribute values, so the
// characters that could end them or open markup are escaped; everything else is written as it is.
void Form1::BuildThumbsPage() {
    const std::string size = std::to_string(texts::thumbSize);
    std::string page = texts::thumbsPageHead;
    for (const auto& entry : DoveShow.listItems()) {
        const std::string path = platform::escapeMarkup(entry);
        page += "<br><A HREF=\"" + path + "\" ><IMG src=\"" + path + "\" WIDTH=" + size + " HEIGHT=" + size + "><br>";
    }
    page += texts::thumbsPageTail;
    ThumbsList.setText(std::move(page));
    if (DoveShow.listCount() > 0) setImageMenus(true);
}

}  // namespace gb
