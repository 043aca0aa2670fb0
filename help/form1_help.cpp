// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "help/form3.h"

namespace gb {

void Form1::menuHelpRegole_Click() {
    if (!menuHelpRegole.checked()) {
        menuFile.setEnabled(false);
        setImageMenus(false);
        menuHelpRegole.setChecked(true);
        if (menuThumb.checked()) menuThumb_Click();
        if (queue.queuePos() > 0) page.keepMarkup(HDocBrwI->activeElementInnerHTML());
        HDocBrwI->setActiveElementInnerHTML(Info.text());
        if (slideshow.running()) menuSPausa_Click();
    } else {
        menuFile.setEnabled(true);
        setImageMenus(true);
        menuHelpRegole.setChecked(false);
        HDocBrwI->setActiveElementInnerHTML(page.takeKeptMarkup());
    }
}

void Form1::menuHelpAcc_Click() {
    static const char* const lines[] = {
        "Enter         = Go forward (and Pause remove)",
        "<---           = Go backward (and Pause set)",
        "image click  = Pause set/remove",
        "ESC          = Full screen/Normal screen",
        "+              = Increase image size 10%",
        " -              = Reduce image size 10%",
        "0              = Reset original image size",
        "A              = Suspend current image from the Show",
        "Z              = Cancel current image from its Folder",
        "Q             = Synchronize thumbnails and current image",
        "F1            = Show/Hide 'Instructions'",
        "F2            = Show/Hide 'Thumbnails'",
        "F3            = Show 'Suspended images list'",
    };
    std::string text;
    for (const char* line : lines) text += (text.empty() ? "" : "\r\n") + std::string(line);
    services.messages.show({text, "    GLIMMERBOX SHORTCUTS", platform::MessageButtons::Ok, platform::MessageIcon::None,
                            platform::MessageAnswer::Ok});
}

void Form1::nenuAbout_Click() {
    Form3 about;
    if (showModal) showModal(about);
}

}  // namespace gb
