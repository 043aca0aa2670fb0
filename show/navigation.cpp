#include "app/form1.h"
#include "app/texts.h"

namespace gb {

namespace {
std::string positionCaption(std::int32_t pos) { return texts::curPrefix + std::to_string(pos); }
}  // namespace

void Form1::menuSAvanti_Click() {
    TempoSlide.setEnabled(false);
    // The list and the counter are kept together; the check also keeps a move inside the list.
    if (queuePos >= queueCount || queuePos >= DoveShow.listCount()) return;
    ++queuePos;
    steppingBack = false;
    DoveShow.setText(DoveShow.listItem(queuePos - 1));
    labelShow.setCaption(DoveShow.text());
    WebBrwI.Navigate2(DoveShow.text());
    Slab(2).setCaption(positionCaption(queuePos));
    if (queuePos == queueCount) Slab(2).setCaption(texts::endLabel);
    // A forward move always restarts the slideshow's countdown from a full interval.
    TempoSlide.setEnabled(true);
    Slab(3).setCaption("");
    if (WebBrwT.visible()) SyncThumbs();
}

void Form1::menuSIndietro_Click() {
    TempoSlide.setEnabled(false);
    if (queuePos <= 1 || queuePos - 2 >= DoveShow.listCount()) return;
    --queuePos;
    steppingBack = true;
    DoveShow.setText(DoveShow.listItem(queuePos - 1));
    labelShow.setCaption(DoveShow.text());
    WebBrwI.Navigate2(DoveShow.text());
    Slab(2).setCaption(positionCaption(queuePos));
    Slab(3).setCaption(texts::pauseLabel);
    if (queuePos == queueCount) Slab(2).setCaption(texts::endLabel);
    if (WebBrwT.visible()) SyncThumbs();
}

void Form1::DoveShow_Click() {
    if (menuHelpRegole.checked()) return;
    labelShow.setCaption(DoveShow.text());
    TempoSlide.setEnabled(false);
    Slab(3).setCaption(texts::pauseLabel);
    WebBrwI.Navigate2(DoveShow.text());
    jumpPositionTo(DoveShow.text());
    if (WebBrwT.visible()) SyncThumbs();
}

// A jump (a name picked, a thumbnail clicked) finds the first entry equal to the name, case included, and never
// writes "END", also onto the last entry. A name not in the queue leaves the position as it was.
void Form1::jumpPositionTo(const std::string& name) {
    for (int i = 0; i < DoveShow.listCount(); ++i) {
        if (DoveShow.listItem(i) == name) {
            queuePos = i + 1;
            Slab(2).setCaption(positionCaption(queuePos));
            return;
        }
    }
}

}  // namespace gb
