#include "app/form1.h"

namespace gb {

// Keys reach the window before the focused control; each calls the procedure of its command, so it works also
// while the command's menu is disabled.
void Form1::Form_KeyDown(int& keyCode, int shift) {
    // What is typed into the ratio box is the box's alone: no command runs from it.
    if (RisoAltro.hasFocus()) {
        RisoAltro_KeyDown(keyCode, shift);
        return;
    }
    if (menuHelpRegole.checked()) return;
    thumbsScrollPending = 0;
    switch (keyCode) {
        case 8: menuSIndietro_Click(); break;
        case 13: menuSAvanti_Click(); break;
        case 27: menuFit_Click(); break;
        case 48: menuSNormale_Click(); break;
        case 65:
        case 90:
            form2().sposta(keyCode);
            // RefreshThumbs, asking the reloaded page to scroll to the current image.
            BuildThumbsPage();
            thumbsScrollPending = -1;
            WebBrwT.Navigate2("about:blank");
            HDocBrwT->setActiveElementInnerHTML(ThumbsList.text());
            break;
        case 81: {
            double y = 0;
            if (queueCount != 0) y = static_cast<double>(HDocBrwT->scrollHeight()) / queueCount * (queuePos - 1);
            if (WebBrwT.visible())
                if (const auto top = toInt32(y)) HDocBrwT->scrollTo(0, *top);
            break;
        }
        case 107:
        case 187: menuSPiu_Click(); break;
        case 109:
        case 189: menuSMeno_Click(); break;
        default: break;
    }
    Tastiera.setText("");
    Tastiera.setFocus();
}

}  // namespace gb
