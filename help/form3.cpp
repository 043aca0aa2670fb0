// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/form3.h"

namespace gb {

Form3::Form3() {
    constexpr int t = platform::Window::twipsPerPixel;
    window.setCaption("   Information");
    window.platformGeometry(0, 0, 4680 + 120, 3315 + 420);
    window.resized(4680 / t, 3315 / t);
    Version.move(16, 16, 280, 24);
    Version.setCaption("Glimmerbox v 1.0");
    Version.appearance.bold = true;
    Version.appearance.pointSize = 11;
    Credits.move(16, 52, 280, 60);
    Credits.setCaption(
        "Written by the Glimmerbox developers.\nA viewer for the pictures of one folder,\n"
        "built on Qt 6.");
    Terms.move(16, 120, 280, 52);
    Terms.setCaption("Free to use, copy and share.\nNo warranty of any kind.");
    Command1.moveTwips(3840, 2760, 615, 375);
    Command1.setCaption("OK");
    for (platform::Control* c : controls()) c->attach(&window);
    Command1.onClick = [this] { Command1_Click(); };
}

void Form3::Command1_Click() { window.unload(); }

}  // namespace gb
