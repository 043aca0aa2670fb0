// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "app/texts.h"
#include "help/form3.h"
#include "help/instructions.h"
#include "ratio/presets.h"
#include "suspend/form2.h"

namespace gb {

using platform::Rgb;
using platform::SystemColour;

namespace {
constexpr Rgb darkBlue{0, 0, 192};
constexpr Rgb green{0, 255, 0};
constexpr Rgb lightGreen{192, 255, 192};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb red{255, 0, 0};
}  // namespace

Form1::Form1(platform::Services& services_)
    : services(services_),
      WebBrwT("WebBrwT", services_.events, services_.images),
      WebBrwI("WebBrwI", services_.events, services_.images) {
    for (int i = 0; i < 7; ++i)
        Riso[i] = std::make_unique<platform::CheckBox>("Riso(" + std::to_string(i) + ")", &Risoluzione);
    buildDesign();
    bindEvents();
}

Form1::~Form1() = default;

std::array<std::unique_ptr<platform::Label>, 8> Form1::makeStatusLabels(platform::Frame& statusBar) {
    std::array<std::unique_ptr<platform::Label>, 8> labels;
    for (int i = 0; i < 8; ++i) {
        const bool onStatusBar = i != 0 && i != 5;
        labels[i] =
            std::make_unique<platform::Label>("Slab(" + std::to_string(i) + ")", onStatusBar ? &statusBar : nullptr);
    }
    return labels;
}

// The window as designed, before Form_Load runs.
void Form1::buildDesign() {
    window.setCaption(texts::windowCaption);
    window.platformGeometry(0, 0, 641 * platform::Window::twipsPerPixel, 470 * platform::Window::twipsPerPixel);

    Risoluzione.setCaption("Frame1");
    Risoluzione.appearance.background = lightGreen;
    Risoluzione.move(240, 48, 137, 289);
    Risoluzione.setVisible(false);
    Risoluzione.accessibleName = "Width to height ratio correction";
    Label1.moveTwips(0, 120, 2055, 375);
    Label1.setCaption("Ratio Change");
    Label1.appearance.bold = true;
    Label1.appearance.pointSize = 9.75;
    for (int i = 0; i < 7; ++i) {
        Riso[i]->moveTwips(240, 600 + 360 * i, 1575, 255);
        Riso[i]->setCaption(std::string("  W/H=  ") + ratioPresets[i].text);
        Riso[i]->appearance.background = lightGreen;
        Riso[i]->accessibleName = std::string("Screen ratio ") + ratioPresets[i].text;
    }
    Riso[1]->setValue(true);
    RisoAltro.moveTwips(240, 3240, 735, 285);
    RisoAltro.setText("1.");
    RisoAltro.accessibleName = "Other screen ratio";
    Label2.moveTwips(1080, 3240, 735, 255);
    Label2.setCaption("Other");
    ChiudiRisoluzione.moveTwips(600, 3720, 735, 375);
    ChiudiRisoluzione.setCaption("OK");
    Line1.moveTwips(120, 3120, 1815, 15);

    BarSu.locked = true;
    BarSu.move(0, 32, 633, 19);
    BarSu.appearance.systemBackground = SystemColour::ActiveBorder;
    BarSu.setVisible(false);

    WebBrwT.move(0, 40, 105, 345);
    WebBrwT.setVisible(false);
    WebBrwT.accessibleName = "Thumbnails";
    WebBrwT.thumbnailPage = true;

    ThumbsList.locked = true;
    ThumbsList.move(16, 160, 100, 20);
    ThumbsList.setVisible(false);

    FrameShow.move(72, 8, 521, 18);
    FrameShow.appearance.bold = true;
    FrameShow.appearance.pointSize = 8.25;
    FrameShow.accessibleName = "Current image bar";
    labelShow.move(8, 0, 505, 17);
    labelShow.setCaption("aaaaaa");
    labelShow.appearance.foreground = blue;
    labelShow.appearance.bold = true;
    labelShow.appearance.pointSize = 8.25;
    labelShow.accessibleName = "Current image";

    BarDx.locked = true;
    BarDx.move(615, 0, 18, 404);
    BarDx.appearance.background = darkBlue;
    BarDx.appearance.foreground = green;
    BarDx.setVisible(false);

    Info.locked = true;
    Info.move(16, 140, 100, 20);
    Info.setText(instructionsPage());

    Pausa.move(280, 384, 49, 21);
    for (int s = 1; s <= 10; ++s) Pausa.addItem(std::to_string(s));
    Pausa.toolTip = texts::intervalToolTip;
    Pausa.accessibleName = "Slideshow interval in seconds";
    Pausa.accessibleDescription = "How many seconds each picture stays before the slideshow moves on";

    FraBot.move(0, 386, 633, 18);
    FraBot.appearance.systemBackground = SystemColour::ActiveBorder;
    FraBot.accessibleName = "Status bar";

    BarGiu.locked = true;
    BarGiu.move(1, 389, 633, 18);
    BarGiu.setText("Immagine");
    BarGiu.appearance.background = darkBlue;
    BarGiu.appearance.foreground = green;
    BarGiu.setVisible(false);
    BarGiu.accessibleName = "Status line";

    slideshow.setInterval(5000);

    WebBrwI.move(4, 40, 625, 344);
    WebBrwI.accessibleName = "Image";

    Tastiera.move(16, 104, 17, 13);
    Tastiera.appearance.pointSize = 3.75;
    Tastiera.accessibleName = "Keyboard commands";
    Tastiera.accessibleDescription = "Enter next picture, Backspace previous, Esc full screen, plus and minus size";
    Tastiera.focusHolder = true;

    DoveShow.move(72, 8, 553, 21);
    DoveShow.appearance.foreground = blue;
    DoveShow.appearance.systemBackground = SystemColour::ButtonFace;
    DoveShow.appearance.bold = true;
    DoveShow.appearance.pointSize = 8.25;
    DoveShow.accessibleName = "Images of the folder";

    static constexpr int statusLeft[8] = {8, 8, 72, 136, 216, 8, 344, 432};
    static constexpr const char* statusCaption[8] = {
        "", "Tot=0", "Cur=0", texts::pauseLabel, texts::intervalLabel, texts::folderFileLabel, "", ""};
    static constexpr const char* statusName[8] = {"",         "Number of images", "Position", "Pause",
                                                  "Interval", "Folder and file",  "",         ""};
    for (int i = 0; i < 8; ++i) {
        platform::Label& s = Slab(i);
        s.move(statusLeft[i], 0, 41, 17);
        s.setCaption(statusCaption[i]);
        s.appearance.bold = true;
        s.appearance.pointSize = 8.25;
        s.accessibleName = statusName[i];
    }
    Slab(0).move(8, 384, 10, 17);
    Slab(4).move(216, 0, 57, 25);
    Slab(5).move(8, 13, 81, 17);
    Slab(3).appearance.foreground = red;

    menuThumb.shortcut = "F2";
    menuGestAcc.shortcut = "F3";
    menuHelpRegole.shortcut = "F1";
    menuFitG.setChecked(true);
    menuBin.setChecked(true);

    controls_ = {&Risoluzione,  &Label1,       Riso[0].get(), Riso[1].get(), Riso[2].get(), Riso[3].get(),
                 Riso[4].get(), Riso[5].get(), Riso[6].get(), &RisoAltro,    &Label2,       &ChiudiRisoluzione,
                 &Line1,        &BarSu,        &WebBrwT,      &ThumbsList,   &FrameShow,    &labelShow,
                 &BarDx,        &Info,         &Pausa,        &FraBot,       &Slab(1),      &Slab(2),
                 &Slab(3),      &Slab(4),      &Slab(6),      &Slab(7),      &BarGiu,       &WebBrwI,
                 &Tastiera,     &DoveShow,     &Slab(0),      &Slab(5)};
    for (platform::Control* c : controls_) c->attach(&window);
}

void Form1::bindEvents() {
    window.onResize = [this] { Form_Resize(); };
    window.onKeyDown = [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); };
    DoveShow.onClick = [this] { DoveShow_Click(); };
    Pausa.onClick = [this] { Pausa_Click(); };
    TempoSlide.onTimer = [this] { TempoSlide_Timer(); };
    WebBrwI.onDocumentComplete = [this](const std::string& url) { WebBrwI_DocumentComplete(url); };
    menuFileScegli.onClick = [this] { menuFileScegli_Click(); };
    menuFileAnnulla.onClick = [this] { menuFileAnnulla_Click(); };
    menuSPiu.onClick = [this] { menuSPiu_Click(); };
    menuSMeno.onClick = [this] { menuSMeno_Click(); };
    menuSNormale.onClick = [this] { menuSNormale_Click(); };
    menuSAvanti.onClick = [this] { menuSAvanti_Click(); };
    menuSIndietro.onClick = [this] { menuSIndietro_Click(); };
    menuSPausa.onClick = [this] { menuSPausa_Click(); };
    menuThumb.onClick = [this] { menuThumb_Click(); };
    menuFit.onClick = [this] { menuFit_Click(); };
    menuFitG.onClick = [this] { menuFitG_Click(); };
    menuFitP.onClick = [this] { menuFitP_Click(); };
    menuRisoluzione.onClick = [this] { menuRisoluzione_Click(); };
    ChiudiRisoluzione.onClick = [this] { ChiudiRisoluzione_Click(); };
    for (int i = 0; i < 7; ++i) Riso[i]->onClick = [this, i] { Riso_Click(i); };
    WebBrwT.onDocumentComplete = [this](const std::string& url) { WebBrwT_DocumentComplete(url); };
    menuGestAcc.onClick = [this] { menuGestAcc_Click(); };
    menuNobin.onClick = [this] { menuNobin_Click(); };
    menuBin.onClick = [this] { menuBin_Click(); };
    menuFileChiudi.onClick = [this] { menuFileChiudi_Click(); };
    window.onQueryUnload = [this] { return Form_Unload(); };
    menuHelpRegole.onClick = [this] { menuHelpRegole_Click(); };
    menuHelpAcc.onClick = [this] { menuHelpAcc_Click(); };
    nenuAbout.onClick = [this] { nenuAbout_Click(); };
}

void Form1::setImageMenus(bool usable) {
    menuView.setEnabled(usable);
    menuSlShow.setEnabled(usable);
    menuStrumenti.setEnabled(usable);
}

Form2& Form1::form2() {
    if (!form2_) {
        form2_ = std::make_unique<Form2>(queue, slideshow, services.images, static_cast<ShowActions&>(*this));
        queue.keepNamesIn(form2_->ListSI);
        if (onForm2Created) onForm2Created(*form2_);
    }
    return *form2_;
}

}  // namespace gb
