// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "suspend/form2.h"

namespace gb {

void Form1::menuGestAcc_Click() {
    slideshow.pause();
    window.setVisible(false);
    form2().window.setVisible(true);
}

void Form1::menuGestAccRitorno() { RefreshThumbs(); }

void Form1::listsClosed() {
    window.setVisible(true);
    menuGestAccRitorno();
}

void Form1::showNext() {
    if (queue.atLast()) {
        WebBrwI.Navigate2(platform::aboutBlank);
        queue.setOnShow("");
    } else {
        menuSAvanti_Click();
    }
}

void Form1::menuNobin_Click() { ToggleRemovalMode(); }
void Form1::menuBin_Click() { ToggleRemovalMode(); }

// Either item swaps the mode, also the one already checked.
void Form1::ToggleRemovalMode() {
    if (menuBin.checked()) {
        menuBin.setChecked(false);
        menuNobin.setChecked(true);
    } else {
        menuBin.setChecked(true);
        menuNobin.setChecked(false);
    }
}

bool Form1::RecycleFile(const std::string& path) {
    const platform::FileResult result = services.trash.moveToTrash(path);
    if (!result.ok)
        services.messages.show(
            {"The file " + path + " could not be moved to the trash, so it stays in the show.\n" + result.error,
             texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
             platform::MessageAnswer::Ok});
    return result.ok;
}

bool Form1::removeCurrentFile(const std::string& path) {
    if (menuBin.checked()) return RecycleFile(path);
    const auto answer = services.messages.show({"Are you sure ?", "ERASE FROM DISK", platform::MessageButtons::YesNo,
                                                platform::MessageIcon::None, platform::MessageAnswer::No});
    if (answer != platform::MessageAnswer::Yes) return false;
    const platform::FileResult result = services.files.removeFile(path);
    if (!result.ok)
        services.messages.show({"The file " + path + " could not be erased, so it stays in the show.\n" + result.error,
                                texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                                platform::MessageAnswer::Ok});
    return result.ok;
}

void Form1::menuFileChiudi_Click() { Form_Unload(); }

bool Form1::Form_Unload() {
    if (form2Exists() && form2().ListNO.listCount() > 0) {
        const auto answer =
            services.messages.show({"Keep ?", "What to do for suspended images", platform::MessageButtons::YesNo,
                                    platform::MessageIcon::None, platform::MessageAnswer::Yes});
        if (answer == platform::MessageAnswer::No) {
            const std::string failures = form2().removeSuspended([this](const std::string& path) {
                return menuBin.checked() ? services.trash.moveToTrash(path) : services.files.removeFile(path);
            });
            if (!failures.empty())
                services.messages.show(
                    {"These suspended files could not be removed and are still in their folder:" + failures,
                     texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                     platform::MessageAnswer::Ok});
        }
    }
    if (form2Exists()) form2().closeForExit();
    window.unload();
    return false;
}

}  // namespace gb
