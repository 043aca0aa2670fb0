// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "platform/keys.h"
#include "ratio/presets.h"
#include "ratio/typed_ratio.h"

namespace gb {

namespace {
// The ratio the window was designed for: choosing it means no correction.
constexpr float referenceHundredths = 133.0f;
}  // namespace

void Form1::menuRisoluzione_Click() {
    if (slideshow.running()) slideshow.pause();
    Risoluzione.setTop(WebBrwI.top() + 2);
    Risoluzione.setLeft(WebBrwI.left() + 2);
    Risoluzione.setVisible(true);
}

// The clicked box keeps the state the click gave it; the others are cleared, their own clicks turned away.
void Form1::Riso_Click(int index) {
    if (ratio.guard == -1) return;
    for (int i = 0; i < 7; ++i) {
        ratio.guard = -1;
        if (i != index) Riso[i]->setValue(false);
    }
    ratio.hundredths = ratioPresets[index].hundredths;
    RisoAltro.setText(ratioPresets[index].text);
    ApplyRatioChange();
}

// Keys typed into the ratio box reach only the box; Enter applies the typed ratio.
void Form1::RisoAltro_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode != keys::enter) {
        RisoAltro.setFocus();
        ChiudiRisoluzione.setEnabled(false);
        return;
    }
    if (ratio.guard == -1) return;
    const auto typed = readRatioHundredths(RisoAltro.text());
    const auto factorOf = [](int hundredths) {
        return static_cast<double>(referenceHundredths / static_cast<float>(hundredths));
    };
    // Without an image page the factor is only recorded; with one, the corrected width must stay in range.
    const bool widthFits =
        typed && (!page.hasPicture() || toInt16(page.shownWidth() / ratio.factor * factorOf(*typed)));
    if (!widthFits) {
        services.messages.show(
            {"Type the screen's width/height ratio as a number such as 1.78 or 1,78, "
             "from 0.01 up to a ratio that keeps the picture narrower than 32767 pixels.",
             texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Information,
             platform::MessageAnswer::Ok});
        RisoAltro.setFocus();
        return;
    }
    for (int i = 0; i < 7; ++i) {
        ratio.guard = -1;
        Riso[i]->setValue(false);
    }
    Tastiera.setFocus();
    ChiudiRisoluzione.setEnabled(true);
    ratio.hundredths = static_cast<Int16>(*typed);
    ApplyRatioChange();
}

void Form1::ApplyRatioChange() {
    ratio.guard = 0;
    const double old = ratio.factor;
    ratio.factor = static_cast<double>(referenceHundredths / static_cast<float>(ratio.hundredths));
    rewritePage(page.applyRatio(old, ratio.factor));
    // The pictures ahead will be drawn with the new ratio.
    preloadAround();
}

void Form1::ChiudiRisoluzione_Click() { Risoluzione.setVisible(false); }

}  // namespace gb
