// SPDX-License-Identifier: GPL-3.0-or-later
#include "suspend/form2.h"

#include <algorithm>

#include "app/form1.h"
#include "app/texts.h"
#include "platform/keys.h"

namespace gb {

namespace {
// Positions in the window are designed in twips.
void placeTwips(platform::Control& c, int left, int top, int width, int height) {
    constexpr int t = platform::Window::twipsPerPixel;
    c.move(left / t, top / t, width / t, height / t);
}

constexpr int previewSideTwips = 1935;

}  // namespace

Form2::Form2(Form1& main) : main_(main) {
    window.setCaption(std::string(10, ' ') + "Current Images" + std::string(44, ' ') + "Suspended Images" +
                      std::string(32, ' ') + "Preview");
    window.platformGeometry(0, 0, 8745 + 120, 2235 + 420);
    window.resized(8745 / platform::Window::twipsPerPixel, 2235 / platform::Window::twipsPerPixel);
    placeTwips(ListSI, 120, 120, 2775, 1785);
    placeTwips(ComNo, 3000, 360, 495, 495);
    placeTwips(ComSi, 3000, 1320, 495, 495);
    placeTwips(ListNO, 3600, 120, 2895, 1785);
    placeTwips(Minia, 6720, 120, previewSideTwips, previewSideTwips);
    placeTwips(TotSI, 1200, 1920, 615, 255);
    placeTwips(TotNO, 4800, 1920, 615, 255);
    ComNo.setCaption("->");
    ComSi.setCaption("<-");
    ListSI.accessibleName = "Current Images";
    ListNO.accessibleName = "Suspended Images";
    Minia.accessibleName = "Preview";
    ComNo.accessibleName = "Suspend the selected image";
    ComSi.accessibleName = "Bring the selected image back";
    TotSI.accessibleName = "Number of current images";
    TotNO.accessibleName = "Number of suspended images";
    for (platform::Control* c : controls()) c->attach(&window);

    ListSI.onClick = [this] { ListSI_Click(); };
    ListNO.onClick = [this] { ListNO_Click(); };
    ComNo.onClick = [this] { ComNo_Click(); };
    ComSi.onClick = [this] { ComSi_Click(); };
    window.onQueryUnload = [this] { return Form_Unload(); };
    Form_Load();
}

void Form2::Form_Load() { window.setVisible(false); }

bool Form2::Form_Unload() {
    if (main_.mainClosing == -1) return false;
    window.setVisible(false);
    main_.window.setVisible(true);
    main_.menuGestAccRitorno();
    return true;
}

void Form2::ListSI_Click() {
    if (ListSI.listIndex() < 0) return;
    previewName = ListSI.listItem(ListSI.listIndex());
    ShowPreview();
    ComNo.setEnabled(true);
    ComSi.setEnabled(false);
}

void Form2::ListNO_Click() {
    if (main_.exitRemoval == 1 || ListNO.listIndex() < 0) return;
    previewName = ListNO.listItem(ListNO.listIndex());
    ShowPreview();
    ComNo.setEnabled(false);
    ComSi.setEnabled(true);
}

// The picture fills the preview box along its longer side and keeps its proportions. A file that cannot be
// read leaves the preview as it was.
void Form2::ShowPreview() {
    const std::string path = suspendedPath(previewName);
    const platform::ImageInfo info = main_.services.images.probe(path);
    if (!info.ok || info.width <= 0 || info.height <= 0) return;
    constexpr int t = platform::Window::twipsPerPixel;
    const float h = static_cast<float>(info.height) * t;
    const float w = static_cast<float>(info.width) * t;
    const float f = std::max(h / previewSideTwips, w / previewSideTwips);
    Minia.setHeight(static_cast<int>(h / f / t));
    Minia.setWidth(static_cast<int>(w / f / t));
    Minia.setPicturePath(path);
}

void Form2::writeCounters() {
    TotSI.setCaption(std::to_string(ListSI.listCount()));
    TotNO.setCaption(std::to_string(ListNO.listCount()));
}

void Form2::ComNo_Click() {
    const int i = ListSI.listIndex();
    if (i < 0 || i >= ListSI.listCount()) return;
    Queue& queue = main_.queue;
    if (i == queue.queuePos() - 1) {
        sposta(keys::letterA);
        return;
    }
    const std::string name = ListSI.listItem(i);
    suspendedPaths_[name] = queue.pathAt(i);
    ListNO.addItem(name);
    queue.removeAt(i);
    writeCounters();
}

void Form2::ComSi_Click() {
    const int j = ListNO.listIndex();
    if (j < 0 || j >= ListNO.listCount()) return;
    const std::string name = ListNO.listItem(j);
    main_.queue.insert(suspendedPath(name), name);
    ListNO.removeItem(ListNO.listIndex());
    suspendedPaths_.erase(name);
    writeCounters();
}

void Form2::sposta(int LisClic) {
    Queue& queue = main_.queue;
    Slideshow& slideshow = main_.slideshow;
    if (slideshow.running()) slideshow.pause();
    // Nothing is current (empty queue, or the last image already went): the lists and counters stay.
    if (!queue.hasCurrent()) return;
    const int index = queue.queuePos() - 1;
    const std::string current = queue.currentPath();
    const std::string name = ListSI.listItem(index);
    // The picture on show must be the queue's current entry (a thumbnail click can show another file).
    if (!queue.currentOnShow()) return;
    if (LisClic == keys::letterA) {
        suspendedPaths_[name] = current;
        ListNO.addItem(name);
    } else if (LisClic == keys::letterZ) {
        slideshow.pause();
        if (!main_.RemoveCurrentFile(current)) return;
    } else {
        return;
    }
    // The next image takes the place of the one that goes; after the last one, nothing is on show.
    if (queue.queuePos() >= queue.queueCount()) {
        main_.WebBrwI.Navigate2(texts::aboutBlank);
        queue.setOnShow("");
    } else {
        main_.menuSAvanti_Click();
    }
    if (slideshow.running()) slideshow.pause();
    queue.removeAt(index);
    writeCounters();
}

std::string Form2::suspendedPath(const std::string& name) const {
    const auto it = suspendedPaths_.find(name);
    return it != suspendedPaths_.end() ? it->second : main_.choice.folderPath + main_.choice.pathSep + name;
}

}  // namespace gb
