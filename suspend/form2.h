// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The suspended-images window: the queue's names and the suspended names side by side, with a preview.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"
#include "queue/queue.h"
#include "show/slideshow.h"
#include "suspend/show_actions.h"

namespace gb {

// How the current image leaves the show.
enum class Removal { Suspend, RemoveFile };

// Where the program is in its exit: the suspended files are being removed, then the windows close.
enum class ExitStage { Running, RemovingSuspended, Closing };

class Form2 {
public:
    Form2(Queue& queue, Slideshow& slideshow, platform::ImageProbe& images, ShowActions& show);
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    platform::Window window{"Form2"};
    platform::ListBox ListSI{"ListSI", true};
    platform::Button ComNo{"ComNo"};
    platform::Button ComSi{"ComSi"};
    platform::ListBox ListNO{"ListNO", true};
    platform::ImageBox Minia{"Minia"};
    platform::Label TotSI{"TotSI"};
    platform::Label TotNO{"TotNO"};

    std::vector<platform::Control*> controls() { return {&ListSI, &ComNo, &ComSi, &ListNO, &Minia, &TotSI, &TotNO}; }

    void Form_Load();
    // The close box: the window hides instead, unless the program is ending. Returns true to cancel.
    bool Form_Unload();
    void ListSI_Click();
    void ListNO_Click();
    void ShowPreview();
    void ComNo_Click();
    void ComSi_Click();
    // Takes the current image out of the show.
    void sposta(Removal LisClic);

    // The full path a suspended name had when it was suspended: what leaves the folder at exit, and what comes
    // back into the queue.
    std::string suspendedPath(const std::string& name) const;
    // The counts under the two lists.
    void writeCounters();
    // A new folder: nothing is suspended.
    void clearSuspended();

    // At exit: every suspended file removed by `remove` (false and the reason when it stays); the lines naming
    // the files that stay, empty when none did.
    std::string removeSuspended(const std::function<platform::FileResult(const std::string&)>& remove);
    // The program ends: the window unloads for good.
    void closeForExit();

private:
    Queue& queue_;
    Slideshow& slideshow_;
    platform::ImageProbe& images_;
    ShowActions& show_;
    ExitStage exitStage_ = ExitStage::Running;
    std::string previewPath_;
    std::map<std::string, std::string> suspendedPaths_;
};

}  // namespace gb
