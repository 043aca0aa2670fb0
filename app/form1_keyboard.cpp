// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "platform/keys.h"
#include "suspend/form2.h"

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
    thumbsScroll = ThumbsScroll::Stay;
    switch (keyCode) {
        case keys::backspace: menuSIndietro_Click(); break;
        case keys::enter: menuSAvanti_Click(); break;
        case keys::escape: menuFit_Click(); break;
        case keys::digit0: menuSNormale_Click(); break;
        case keys::letterA:
        case keys::letterZ:
            form2().sposta(keyCode == keys::letterA ? Removal::Suspend : Removal::RemoveFile);
            // The reloaded page scrolls to the current image.
            thumbsScroll = ThumbsScroll::ToCurrent;
            RefreshThumbs();
            break;
        case keys::letterQ:
            if (WebBrwT.visible())
                if (const auto top = currentThumbTop()) HDocBrwT->scrollTo(0, *top);
            break;
        case keys::keypadPlus:
        case keys::plus: menuSPiu_Click(); break;
        case keys::keypadMinus:
        case keys::minus: menuSMeno_Click(); break;
        default: break;
    }
    Tastiera.setText("");
    Tastiera.setFocus();
}

}  // namespace gb
