// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "platform/keys.h"
#include "ratio/presets.h"
#include "ratio/typed_ratio.h"

namespace gb {

void Form1::menuRisoluzione_Click() {
    if (slideshow.running()) slideshow.pause();
    anchorRatioPanel();
    Risoluzione.setVisible(true);
}

// The clicked box keeps the state the click gave it; the others are cleared, their own clicks turned away.
void Form1::Riso_Click(int index) {
    if (ratio.settingMarks()) return;
    ratio.beginSettingMarks();
    for (int i = 0; i < 7; ++i)
        if (i != index) Riso[i]->setValue(false);
    ratio.choose(ratioPresets[index].hundredths);
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
    if (ratio.settingMarks()) return;
    const auto typed = readRatioHundredths(RisoAltro.text());
    // Without an image page the factor is only recorded; with one, the corrected width must stay in range.
    const bool widthFits =
        typed && (!page.hasPicture() || toInt16(page.shownWidth() / ratio.factor() * RatioSetting::factorOf(*typed)));
    if (!widthFits) {
        services.messages.show(
            {"Type the screen's width/height ratio as a number such as 1.78 or 1,78, "
             "from 0.01 up to a ratio that keeps the picture narrower than 32767 pixels.",
             texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Information,
             platform::MessageAnswer::Ok});
        RisoAltro.setFocus();
        return;
    }
    ratio.beginSettingMarks();
    for (int i = 0; i < 7; ++i) Riso[i]->setValue(false);
    Tastiera.setFocus();
    ChiudiRisoluzione.setEnabled(true);
    ratio.choose(static_cast<Int16>(*typed));
    ApplyRatioChange();
}

void Form1::ApplyRatioChange() {
    const double old = ratio.apply();
    rewritePage(page.applyRatio(old, ratio.factor()));
    // The pictures ahead will be drawn with the new ratio.
    preloadAround();
}

void Form1::ChiudiRisoluzione_Click() { Risoluzione.setVisible(false); }

void Form1::anchorRatioPanel() {
    Risoluzione.setTop(WebBrwI.top() + 2);
    Risoluzione.setLeft(WebBrwI.left() + 2);
}

}  // namespace gb
