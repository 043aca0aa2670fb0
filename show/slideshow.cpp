#include <cstdlib>

#include "app/form1.h"
#include "app/texts.h"

namespace gb {

// The interval in the combo box, in seconds, as the timer's milliseconds; false when the text is no number or
// the timer refuses the interval.
bool Form1::intervalFromPausa() {
    const std::string& text = Pausa.text();
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) return false;
    const auto ms = toInt32(seconds * texts::millisecondsPerSecond);
    return ms && TempoSlide.setInterval(*ms);
}

void Form1::TempoSlide_Timer() {
    if (menuHelpRegole.checked()) return;
    intervalFromPausa();
    menuSAvanti_Click();
    Tastiera.setFocus();
}

void Form1::menuSPausa_Click() {
    // The timer alone decides, not the label.
    if (TempoSlide.enabled()) {
        TempoSlide.setEnabled(false);
        Slab(3).setCaption(texts::pauseLabel);
    } else {
        TempoSlide.setEnabled(true);
        Slab(3).setCaption("");
    }
    writeBottomBar(fitScale);
}

void Form1::Pausa_Click() {
    intervalFromPausa();
    TempoSlide.setEnabled(true);
    Slab(3).setCaption("");
}

bool Form1::HDocBrwI_onclick() {
    if (!menuHelpRegole.checked()) menuSPausa_Click();
    return false;
}

}  // namespace gb
