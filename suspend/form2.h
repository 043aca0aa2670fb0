// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The suspended-images window: the queue's names and the suspended names side by side, with a preview.

#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace gb {

class Form1;

class Form2 {
public:
    explicit Form2(Form1& main);
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

    std::string previewName;

    void Form_Load();
    // The close box: the window hides instead, unless the program is ending. Returns true to cancel.
    bool Form_Unload();
    void ListSI_Click();
    void ListNO_Click();
    void ShowPreview();
    void ComNo_Click();
    void ComSi_Click();
    // Takes the current image out of the show: 65 suspends it, 90 removes its file.
    void sposta(int LisClic);

    // The full path a suspended name had when it was suspended: what leaves the folder at exit, and what comes
    // back into the queue.
    std::string suspendedPath(const std::string& name) const;
    // The counts under the two lists.
    void writeCounters();

private:
    Form1& main_;
    std::map<std::string, std::string> suspendedPaths_;
};

}  // namespace gb
