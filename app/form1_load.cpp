// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstdlib>

#include "app/form1.h"
#include "app/texts.h"

namespace gb {

void Form1::Form_Load() {
    window.move(0, 0);
    queue.setOnShow(services.files.currentDirectory());
    slideshow.stop();
    labelShow.setCaption(queue.onShow());

    Pausa.setText(texts::intervalStartText);
    slideshow.setInterval(std::atoi(Pausa.text().c_str()) * texts::millisecondsPerSecond);

    Info.setVisible(false);
    choice.pathSep.assign(1, '/');  // the native separator
    page.setScreen(static_cast<std::int64_t>(services.screen.widthPixels) * platform::Window::twipsPerPixel,
                   static_cast<std::int64_t>(services.screen.heightPixels) * platform::Window::twipsPerPixel);

    window.setWindowState(platform::WindowState::Maximized);

    WebBrwI.setLeft(4);
    WebBrwI.setTop(40);
    WebBrwT.setVisible(false);
    WebBrwT.setLeft(4);
    WebBrwT.setTop(40);
    WebBrwI.setHeight(std::max(0, window.scaleHeight() - 60));
    WebBrwI.setWidth(std::max(0, window.scaleWidth() - 8));
    page.setArea(window.scaleWidth() - 50, window.scaleHeight() - 70);

    WebBrwI.Navigate2(platform::aboutBlank);
    WebBrwT.Navigate2(platform::aboutBlank);
    HDocBrwI = &WebBrwI.document();
    HDocBrwT = &WebBrwT.document();
    HDocBrwI->onclick = [this] { return HDocBrwI_onclick(); };
    HDocBrwT->onclick = [this] { return HDocBrwT_onclick(); };

    setImageMenus(false);

    ratio.reset();
    Riso[1]->setValue(true);
    RisoAltro.setText("1.33");
}

}  // namespace gb
