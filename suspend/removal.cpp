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

bool Form1::RemoveCurrentFile(const std::string& path) {
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
            exitRemoval = 1;
            Form2& lists = form2();
            std::string failures;
            for (int i = 0; i < lists.ListNO.listCount(); ++i) {
                lists.ListNO.setListIndex(i);
                // Each file by the path it had when it was suspended.
                const std::string path = lists.suspendedPath(lists.ListNO.listItem(i));
                const platform::FileResult result =
                    menuBin.checked() ? services.trash.moveToTrash(path) : services.files.removeFile(path);
                if (!result.ok) failures += "\n" + path + ": " + result.error;
            }
            if (!failures.empty())
                services.messages.show(
                    {"These suspended files could not be removed and are still in their folder:" + failures,
                     texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                     platform::MessageAnswer::Ok});
        }
    }
    mainClosing = -1;
    if (form2Exists()) form2().window.unload();
    window.unload();
    return false;
}

}  // namespace gb
