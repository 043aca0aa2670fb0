// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: owner of the viewer state. Its procedures are defined in the folder of their subsystem.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/numbers.h"
#include "display/image_page.h"
#include "display/scale.h"
#include "display/sizing.h"
#include "platform/browser.h"
#include "platform/controls.h"
#include "platform/services.h"
#include "queue/folder_choice.h"
#include "queue/queue.h"
#include "ratio/ratio_setting.h"
#include "show/slideshow.h"
#include "suspend/show_actions.h"

namespace gb {

class Form2;
class Form3;

class Form1 : private ShowActions {
public:
    explicit Form1(platform::Services& services);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    platform::Services& services;

    // ---- The window, its controls (in stacking order, top first) and its menus.
    platform::Window window{"Form1"};

    platform::Frame Risoluzione{"Risoluzione"};
    platform::Label Label1{"Label1", &Risoluzione};
    std::array<std::unique_ptr<platform::CheckBox>, 7> Riso;
    platform::TextBox RisoAltro{"RisoAltro", &Risoluzione};
    platform::Label Label2{"Label2", &Risoluzione};
    platform::Button ChiudiRisoluzione{"ChiudiRisoluzione", &Risoluzione};
    platform::Frame Line1{"Line1", &Risoluzione};

    platform::TextBox BarSu{"BarSu"};
    platform::Browser WebBrwT;
    platform::TextBox ThumbsList{"ThumbsList"};
    platform::Frame FrameShow{"FrameShow"};
    platform::Label labelShow{"labelShow", &FrameShow};
    platform::TextBox BarDx{"BarDx"};
    platform::TextBox Info{"Info"};
    platform::ComboBox Pausa{"Pausa", false, false};
    platform::Frame FraBot{"FraBot"};
    platform::TextBox BarGiu{"BarGiu"};
    platform::Browser WebBrwI;
    platform::TextBox Tastiera{"Tastiera"};
    platform::ComboBox DoveShow{"DoveShow", true, true};
    // Slab(0) and Slab(5) lie on the window, the others inside FraBot.
    std::array<std::unique_ptr<platform::Label>, 8> SlabControls = makeStatusLabels(FraBot);
    platform::Label& Slab(int index) { return *SlabControls.at(static_cast<std::size_t>(index)); }

    platform::Timer TempoSlide{"TempoSlide"};

    // The queue with its position and counters, and the slideshow with its pause.
    Queue queue{DoveShow, Slab(1), Slab(2)};
    Slideshow slideshow{TempoSlide, Slab(3)};

    platform::MenuItem menuFile{"menuFile", "File"};
    platform::MenuItem menuFileScegli{"menuFileScegli", "Select and open Image files", &menuFile};
    platform::MenuItem menuFileAnnulla{"menuFileAnnulla", "Clear current Image files", &menuFile};
    platform::MenuItem sep1{"sep1", "-", &menuFile};
    platform::MenuItem menuFileChiudi{"menuFileChiudi", "Exit", &menuFile};
    platform::MenuItem menuView{"menuView", "View"};
    platform::MenuItem menuThumb{"menuThumb", "View Thumbnails", &menuView};
    platform::MenuItem menuSPiu{"menuSPiu", "Size increase" + std::string(42, ' ') + "+ ", &menuView};
    platform::MenuItem menuSMeno{"menuSMeno", "Size reduce" + std::string(45, ' ') + "-", &menuView};
    platform::MenuItem menuSNormale{"menuSNormale", "Original size" + std::string(44, ' ') + "0", &menuView};
    platform::MenuItem menuSlShow{"menuSlShow", "Slideshow"};
    platform::MenuItem menuSAvanti{"menuSAvanti", "Forward" + std::string(24, ' ') + "Enter", &menuSlShow};
    platform::MenuItem menuSIndietro{"menuSIndietro", "Backward" + std::string(21, ' ') + "<---", &menuSlShow};
    platform::MenuItem menuSPausa{"menuSPausa", "Set Pausa on/off" + std::string(10, ' ') + "clic on image",
                                  &menuSlShow};
    platform::MenuItem sep2{"sep2", "-", &menuSlShow};
    platform::MenuItem menuFit{"menuFit", "Full screen mode" + std::string(21, ' ') + "ESC", &menuSlShow};
    platform::MenuItem menuFitG{"menuFitG", std::string(5, ' ') + "Reduce larger images", &menuSlShow};
    platform::MenuItem menuFitP{"menuFitP", std::string(5, ' ') + "Increase smaller images", &menuSlShow};
    platform::MenuItem menuStrumenti{"menuStrumenti", "Tools"};
    platform::MenuItem menuGestAcc{"menuGestAcc", "Manage suspended images", &menuStrumenti};
    platform::MenuItem sep3{"sep3", "-", &menuStrumenti};
    platform::MenuItem menuGestCanc{"menuGestCanc", "Choices for cancellations...", &menuStrumenti};
    platform::MenuItem menuNobin{"menuNobin", "Erase now", &menuGestCanc};
    platform::MenuItem menuBin{"menuBin", "Use basket bin", &menuGestCanc};
    platform::MenuItem sep4{"sep4", "-", &menuStrumenti};
    platform::MenuItem menuRisoluzione{"menuRisoluzione", "W/H ratio correction ", &menuStrumenti};
    platform::MenuItem menuHelp{"menuHelp", "?"};
    platform::MenuItem menuHelpRegole{"menuHelpRegole", "General instructions", &menuHelp};
    platform::MenuItem menuHelpAcc{"menuHelpAcc", "Shortcuts", &menuHelp};
    platform::MenuItem sep5{"sep5", "-", &menuHelp};
    platform::MenuItem nenuAbout{"nenuAbout", "About", &menuHelp};

    // Controls in stacking order, top first; menu titles in menu-bar order.
    std::vector<platform::Control*> controls() const { return controls_; }
    std::vector<platform::MenuItem*> menuBar() {
        return {&menuFile, &menuView, &menuSlShow, &menuStrumenti, &menuHelp};
    }

    // ---- State, each part with its owner's type, and where the thumbnail bar scrolls once its page is loaded.
    FolderChoice choice;
    RatioSetting ratio;
    ImagePage page;
    enum class ThumbsScroll { Stay, ToCurrent };
    ThumbsScroll thumbsScroll = ThumbsScroll::Stay;

    // The suspended-images window, created hidden the first time it is needed; the view hears of it.
    Form2& form2();
    bool form2Exists() const { return form2_ != nullptr; }
    std::function<void(Form2&)> onForm2Created;
    // Shows the About window modally and returns when it has been unloaded.
    std::function<void(Form3&)> showModal;

    // The two documents' event sinks, bound once by Form_Load.
    platform::Document* HDocBrwI = nullptr;
    platform::Document* HDocBrwT = nullptr;

    // ---- Procedures (defined in the folder of their subsystem).
    void Form_Load();                            // app/form1_load.cpp
    void Form_Resize();                          // app/form1_resize.cpp
    void menuSAvanti_Click();                    // show/form1_navigation.cpp
    void menuSIndietro_Click();                  // show/form1_navigation.cpp
    void DoveShow_Click();                       // show/form1_navigation.cpp
    void SyncThumbs();                           // show/form1_sync_thumbs.cpp
    void Form_KeyDown(int& keyCode, int shift);  // app/form1_keyboard.cpp

    // Folder selection and scan (queue/).
    void menuFileScegli_Click();
    std::string OpenImageDialog();
    void ScanFolder();
    void AddIfImage();
    void menuFileAnnulla_Click();
    // The one way a folder is opened, from the dialog or from a path: `file` (blank for none) is the picture to
    // start at, `folder` the one whose pictures are queued under the filter chosen.
    void openChosen(const std::string& folder, const std::string& file);

    // The thumbnail page and bar (thumbs/).
    void BuildThumbsPage();
    void RefreshThumbs();
    void menuThumb_Click();
    void WebBrwT_DocumentComplete(const std::string& url);
    bool HDocBrwT_onclick();

    // Full screen and the fit options (display/form1_full_screen.cpp).
    void menuFit_Click();
    void menuFitG_Click();
    void menuFitP_Click();

    // The width/height ratio correction (ratio/).
    void menuRisoluzione_Click();
    void Riso_Click(int index);
    void RisoAltro_KeyDown(int keyCode, int shift);
    void ApplyRatioChange();
    void ChiudiRisoluzione_Click();

    // Suspended images, removal of files and exit (suspend/).
    void menuGestAcc_Click();
    void menuGestAccRitorno();
    void menuNobin_Click();
    void menuBin_Click();
    void ToggleRemovalMode();
    // Sends the file to the trash; false (the file stays) when it could not, after saying so.
    bool RecycleFile(const std::string& path);
    void menuFileChiudi_Click();
    // The close box or "Exit": the suspended files are kept or removed, then the program ends. Never refused.
    bool Form_Unload();

    // Help (help/).
    void menuHelpRegole_Click();
    void menuHelpAcc_Click();
    void nenuAbout_Click();

    // The image page (display/).
    void WebBrwI_DocumentComplete(const std::string& url);  // display/form1_page.cpp
    void ShowImage();
    void menuSPiu_Click();
    void menuSMeno_Click();
    void menuSNormale_Click();
    // Pieces shared by the page's writers: the page's markup written (nothing while no picture is on it), and
    // the full-screen status line.
    void rewritePage(const std::optional<std::string>& markup);
    void writeBottomBar(const Scale& scale);
    // Preloading (display/form1_preload.cpp): the picture on show and its neighbours in the direction of travel, at
    // the size each will be drawn.
    void preloadAround();

    // Slideshow (show/form1_slideshow.cpp).
    void TempoSlide_Timer();
    void menuSPausa_Click();
    void Pausa_Click();
    bool HDocBrwI_onclick();

private:
    // What the suspended-images window asks of this one (suspend/form1_removal.cpp).
    bool removeCurrentFile(const std::string& path) override;
    void showNext() override;
    void listsClosed() override;

    static std::array<std::unique_ptr<platform::Label>, 8> makeStatusLabels(platform::Frame& statusBar);
    // The file `path` on show: the folder box, the current-image bar and the image browser.
    void showPath(const std::string& path);  // show/form1_navigation.cpp
    FitArea fitArea() const;
    // The View, Slideshow and Tools menus, usable while a queue is open (app/form1.cpp).
    void setImageMenus(bool usable);
    // The ratio panel at the image browser's top left corner (ratio/form1_ratio.cpp).
    void anchorRatioPanel();
    // The thumbnail bar shown or hidden, the image browser beside it or across the window, the ratio panel
    // following (thumbs/form1_thumbs_bar.cpp).
    void placeThumbsBar(bool on);
    // Where the thumbnail bar's page scrolls for the current image: its share of the page (show/form1_sync_thumbs.cpp).
    std::optional<std::int32_t> currentThumbTop() const;
    std::optional<std::pair<int, int>> drawnSizeOf(const std::string& path);
    void zoomBy(double factor);
    void toggleFitOption(platform::MenuItem& option);
    void leaveFullScreen();
    void enterFullScreen();
    std::unique_ptr<Form2> form2_;

    void buildDesign();
    void bindEvents();
    std::vector<platform::Control*> controls_;
};

}  // namespace gb
