// SPDX-License-Identifier: GPL-3.0-or-later
#include "suspend/form2.h"

#include <algorithm>

namespace gb {

namespace {
constexpr int previewSideTwips = 1935;
}  // namespace

Form2::Form2(Queue& queue, Slideshow& slideshow, platform::ImageProbe& images, ShowActions& show)
    : queue_(queue), slideshow_(slideshow), images_(images), show_(show) {
    window.setCaption(std::string(10, ' ') + "Current Images" + std::string(44, ' ') + "Suspended Images" +
                      std::string(32, ' ') + "Preview");
    window.platformGeometry(0, 0, 8745 + 120, 2235 + 420);
    window.resized(8745 / platform::Window::twipsPerPixel, 2235 / platform::Window::twipsPerPixel);
    ListSI.moveTwips(120, 120, 2775, 1785);
    ComNo.moveTwips(3000, 360, 495, 495);
    ComSi.moveTwips(3000, 1320, 495, 495);
    ListNO.moveTwips(3600, 120, 2895, 1785);
    Minia.moveTwips(6720, 120, previewSideTwips, previewSideTwips);
    TotSI.moveTwips(1200, 1920, 615, 255);
    TotNO.moveTwips(4800, 1920, 615, 255);
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
    if (exitStage_ == ExitStage::Closing) return false;
    window.setVisible(false);
    show_.listsClosed();
    return true;
}

void Form2::ListSI_Click() {
    if (ListSI.listIndex() < 0) return;
    previewPath_ = queue_.pathAt(ListSI.listIndex());
    ShowPreview();
    ComNo.setEnabled(true);
    ComSi.setEnabled(false);
}

void Form2::ListNO_Click() {
    if (exitStage_ != ExitStage::Running || ListNO.listIndex() < 0) return;
    previewPath_ = suspendedPath(ListNO.listItem(ListNO.listIndex()));
    ShowPreview();
    ComNo.setEnabled(false);
    ComSi.setEnabled(true);
}

// The picture fills the preview box along its longer side and keeps its proportions. A file that cannot be
// read leaves the preview as it was.
void Form2::ShowPreview() {
    const std::string& path = previewPath_;
    const platform::ImageInfo info = images_.probe(path);
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
    if (i == queue_.queuePos() - 1) {
        sposta(Removal::Suspend);
        return;
    }
    const std::string name = ListSI.listItem(i);
    suspendedPaths_[name] = queue_.pathAt(i);
    ListNO.addItem(name);
    queue_.removeAt(i);
    writeCounters();
}

void Form2::ComSi_Click() {
    const int j = ListNO.listIndex();
    if (j < 0 || j >= ListNO.listCount()) return;
    const std::string name = ListNO.listItem(j);
    queue_.insert(suspendedPath(name), name);
    ListNO.removeItem(ListNO.listIndex());
    suspendedPaths_.erase(name);
    writeCounters();
}

void Form2::sposta(Removal LisClic) {
    if (slideshow_.running()) slideshow_.pause();
    // Nothing is current (empty queue, or the last image already went), or the picture on show is another file
    // (a thumbnail click can show one): the lists and counters stay.
    if (!queue_.currentOnShow()) return;
    const int index = queue_.queuePos() - 1;
    const std::string current = queue_.currentPath();
    const std::string name = ListSI.listItem(index);
    if (LisClic == Removal::Suspend) {
        suspendedPaths_[name] = current;
        ListNO.addItem(name);
    } else {
        slideshow_.pause();
        if (!show_.removeCurrentFile(current)) return;
    }
    show_.showNext();
    if (slideshow_.running()) slideshow_.pause();
    queue_.removeAt(index);
    writeCounters();
}

std::string Form2::suspendedPath(const std::string& name) const {
    const auto it = suspendedPaths_.find(name);
    return it != suspendedPaths_.end() ? it->second : std::string();
}

void Form2::clearSuspended() {
    ListNO.clear();
    suspendedPaths_.clear();
}

std::string Form2::removeSuspended(const std::function<platform::FileResult(const std::string&)>& remove) {
    exitStage_ = ExitStage::RemovingSuspended;
    std::string failures;
    for (int i = 0; i < ListNO.listCount(); ++i) {
        ListNO.setListIndex(i);
        // Each file by the path it had when it was suspended.
        const std::string path = suspendedPath(ListNO.listItem(i));
        const platform::FileResult result = remove(path);
        if (!result.ok) failures += "\n" + path + ": " + result.error;
    }
    return failures;
}

void Form2::closeForExit() {
    exitStage_ = ExitStage::Closing;
    window.unload();
}

}  // namespace gb
