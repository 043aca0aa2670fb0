// SPDX-License-Identifier: GPL-3.0-or-later
// The size a picture is drawn at: its natural size, the ratio correction, zoom steps and the full-screen fit,
// as the image page writes it and the status line reports it.

#include <gtest/gtest.h>

#include "display/image_page.h"
#include "ratio/presets.h"
#include "ratio/typed_ratio.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct Page {
    Headless h;
    Form1& f = *h.form;
    Page() {
        h.start();
        h.resizeClient(Headless::maximisedWidth, Headless::maximisedHeight);
    }
    // Shows a w x h picture as the only entry of the queue.
    void show(int w, int hgt, const std::string& path = "/pics/a.jpg") {
        h.fillQueue({path});
        h.probe.add(path, w, hgt);
        f.choice.folderPath = "/pics";
        f.menuSAvanti_Click();
        h.events.runAll();
    }
    // "+", "-", "0": the zoom keys; "rN": the ratio preset N; "tX": X typed into the ratio box and Enter.
    void act(const std::string& actions) {
        for (std::size_t i = 0; i < actions.size(); ++i) {
            int code = 0;
            switch (actions[i]) {
                case '+': code = 187; break;
                case '-': code = 189; break;
                case '0': code = 48; break;
                case 'r': f.Riso[actions[++i] - '0']->userClick(); continue;
                case 't': {
                    const auto end = actions.find(' ', i);
                    f.RisoAltro.setText(actions.substr(i + 1, end - i - 1));
                    f.RisoAltro.setFocus();
                    code = 13;
                    i = end == std::string::npos ? actions.size() : end;
                    break;
                }
                default: continue;
            }
            f.window.onKeyDown(code, 0);
        }
    }
    std::string page() const { return f.HDocBrwI->bodyHTML(); }
    std::string drawn() const {
        const auto at = page().find("WIDTH=");
        return at == std::string::npos ? "" : page().substr(at, page().find('>', at) - at);
    }
};

// The page alone, without a window: "+" and "-" zoom steps, "0" back to the natural size, "r" the ratio
// factor 0.75 after 1; the markup each step writes, the last one returned.
std::string drawnAfter(int width, int height, const std::string& steps, int browserHeight = 600) {
    ImagePage page;
    page.setBrowserHeight(browserHeight);
    page.load("<IMG src=\"a.jpg\">", width, height);
    std::optional<std::string> markup = page.show(1.0);
    for (const char step : steps) {
        if (step == '+' || step == '-') markup = page.zoom(step == '+' ? 1.1 : 0.9, browserHeight);
        if (step == '0') markup = page.reset(false, browserHeight);
        if (step == 'r') markup = page.applyRatio(1.0, 0.75);
    }
    return markup.value_or("(nothing)");
}

TEST(ImagePage, ZoomStepsAccumulateFromRoundedSizesInsideSixteenBits) {
    const struct {
        const char* what;
        int width, height;
        const char* steps;
        const char* drawn;
    } rows[] = {
        {"natural size", 640, 480, "", "WIDTH=640 HEIGHT=480"},
        {"zoom steps accumulate from the rounded sizes", 640, 480, "+", "WIDTH=704 HEIGHT=528"},
        {"... and reduce", 640, 480, "+-", "WIDTH=634 HEIGHT=475"},
        {"... and reset", 640, 480, "+-0", "WIDTH=640 HEIGHT=480"},
        {"ties go to even", 5, 4, "-", "WIDTH=4 HEIGHT=4"},
        {"tiny sizes never change", 3, 2, "+-+-", "WIDTH=3 HEIGHT=2"},
        {"a dimension that would pass 16 bits stays", 1000, 29790, "+", "WIDTH=1100 HEIGHT=29790"},
        {"beyond 16 bits the proportions are kept", 65000, 1000, "", "WIDTH=32767 HEIGHT=504"},
        {"the ratio narrows the width on show, zoom included", 640, 480, "+r", "WIDTH=528 HEIGHT=528"},
    };
    for (const auto& r : rows)
        EXPECT_NE(drawnAfter(r.width, r.height, r.steps).find(r.drawn), std::string::npos) << r.what;
}

TEST(ImagePage, ThePictureIsCentredByOneLineBreakPerFiftyPixelsItIsLowerThanTheBrowser) {
    const struct {
        int browserHeight, pictureHeight;
        const char* start;
    } rows[] = {{580, 480, "<br><br><center><IMG"},
                {480, 430, "<br><center><IMG"},
                {480, 479, "<center><IMG"},
                {340, 480, "<center><IMG"}};
    for (const auto& r : rows)
        EXPECT_EQ(drawnAfter(640, r.pictureHeight, "", r.browserHeight).rfind(r.start, 0), 0u) << r.browserHeight;
    EXPECT_EQ(lineBreakPrefix(149.9f), "<br><br><center>");
}

TEST(ImagePage, APageWithoutAPictureIsNeverRewritten) {
    ImagePage page;
    page.load("<IMG src=\"a.jpg\">", 640, 480);
    page.showNothing();
    EXPECT_FALSE(page.hasPicture());
    EXPECT_EQ(page.naturalWidth(), 0);
    EXPECT_FALSE(page.zoom(1.1, 600));
    EXPECT_FALSE(page.reset(true, 600));
    EXPECT_FALSE(page.applyRatio(1.0, 0.5));
    EXPECT_FALSE(page.fit(page.fitArea(1.0, true, false), 600));
}

// Through the window: keys and the ratio panel reach the page.
TEST(Sizing, NormalModeDrawsTheNaturalSizeCorrectedAndZoomed) {
    struct Row {
        const char* what;
        int width, height;
        const char* before;  // actions before the picture is shown
        const char* after;
        const char* drawn;
    } rows[] = {
        {"zoom keys", 640, 480, "", "+-", "WIDTH=634 HEIGHT=475"},
        {"the ratio narrows the width only", 640, 480, "r6", "", "WIDTH=478 HEIGHT=480"},
        {"a ratio chosen on show applies at once", 640, 480, "", "r6", "WIDTH=478 HEIGHT=480"},
        {"the neutral ratio gives the width back", 640, 480, "r6", "r1", "WIDTH=640 HEIGHT=480"},
        {"a typed ratio, halves to even", 641, 300, "t2.66", "", "WIDTH=320 HEIGHT=300"},
        {"a typed ratio with a comma", 640, 480, "", "t1,50", "WIDTH=567 HEIGHT=480"},
        {"reset drops the correction", 640, 480, "r6", "0", "WIDTH=640 HEIGHT=480"},
        {"zoom after the ratio", 640, 480, "r6", "+", "WIDTH=526 HEIGHT=528"},
    };
    for (const Row& r : rows) {
        Page p;
        p.act(r.before);
        p.show(r.width, r.height);
        p.act(r.after);
        EXPECT_EQ(p.drawn(), r.drawn) << r.what;
        EXPECT_TRUE(p.f.Tastiera.hasFocus()) << r.what;
    }
}

TEST(Sizing, FullScreenFitsThePictureToTheArea) {
    struct Row {
        FitArea area;
        int width, height;
        Scale::Kind kind;
        double scale;
        int fitWidth, fitHeight;
    } rows[] = {
        {{1230, 700, 1.0, true, false}, 1600, 1200, Scale::Kind::Single, 700.0 / 1200, 933, 700},
        {{1222, 949, 1.0, true, false}, 1600, 1200, Scale::Kind::Double, 1222.0 / 1600, 1222, 916},
        {{1230, 700, 1.0, true, false}, 200, 100, Scale::Kind::Single, 1.0, 200, 100},
        {{1230, 700, 1.0, true, true}, 200, 100, Scale::Kind::Double, 6.15, 1230, 615},
        {{1230, 700, 1.0, false, true}, 2000, 300, Scale::Kind::Double, 1.0, 2000, 300},
        // Both options off: nothing is fitted, the kept size stays.
        {{1230, 700, 1.0, false, false}, 200, 100, Scale::Kind::Integer, 1.0, 7, 9},
        {{1230, 700, 0.5, true, false}, 1600, 1200, Scale::Kind::Single, 700.0 / 1200, 467, 700},
    };
    for (const Row& r : rows) {
        const Fit fit = fitPicture(r.area, static_cast<Int16>(r.width), static_cast<Int16>(r.height), 7, 9);
        EXPECT_EQ(fit.scale.kind(), r.kind) << r.width << " " << r.area.ratioFactor;
        EXPECT_NEAR(fit.scale.value(), r.scale, 1e-6) << r.width;
        EXPECT_EQ(fit.width, r.fitWidth) << r.width << "x" << r.height;
        EXPECT_EQ(fit.height, r.fitHeight) << r.width << "x" << r.height;
    }
}

TEST(Sizing, FullScreenDrawsTheFitOnBlueAndTheStatusLineFollowsEachZoomStep) {
    struct Row {
        const char* actions;
        const char* drawn;
        const char* statusLine;
    } rows[] = {
        {"", "WIDTH=1222 HEIGHT=916", "  Tot=1  END  a.jpg  (1600x1200 0.76%)     "},
        {"+", "WIDTH=1344 HEIGHT=1008", "  Tot=1  END  a.jpg  (1600x1200 0.84%)     Pause"},
        {"+-", "WIDTH=1210 HEIGHT=907", "  Tot=1  END  a.jpg  (1600x1200 0.76%)     Pause"},
        {"++0", "WIDTH=1222 HEIGHT=916", "  Tot=1  END  a.jpg  (1600x1200 0.76%)     Pause"},
    };
    for (const Row& r : rows) {
        Page p;
        int esc = 27;
        p.f.window.onKeyDown(esc, 0);
        p.show(1600, 1200);
        p.act(r.actions);
        EXPECT_EQ(p.drawn(), r.drawn) << r.actions;
        EXPECT_EQ(p.f.BarGiu.text(), r.statusLine) << r.actions;
        EXPECT_EQ(p.f.HDocBrwI->bgColor(), "#0000c0");
    }
}

TEST(Sizing, AFileThatCannotBeShownKeepsItsPageThroughZoomAndRatio) {
    Page p;
    p.show(640, 480);
    p.f.queue.append("/pics/broken.jpg", "broken.jpg");  // the probe does not know it
    p.h.queueAt(1);
    p.f.menuSAvanti_Click();
    p.h.events.runAll();
    const std::string errorPage = p.page();
    EXPECT_NE(errorPage.find("/pics/broken.jpg"), std::string::npos);
    EXPECT_EQ(p.drawn(), "");
    p.act("+-0r6");
    EXPECT_EQ(p.page(), errorPage);
    // A blank page changes nothing of the picture before it.
    p.f.menuSIndietro_Click();
    p.h.events.runAll();
    p.f.WebBrwI.Navigate2("about:blank");
    p.h.events.runAll();
    p.act("+");
    EXPECT_EQ(p.drawn(), "WIDTH=526 HEIGHT=528");  // with the ratio chosen meanwhile
}

TEST(Sizing, ZoomPausesTheSlideshowResetDoesNotAndTheInstructionsStopBoth) {
    Page p;
    p.show(640, 480);
    ASSERT_TRUE(p.f.TempoSlide.enabled());
    p.act("0");
    EXPECT_TRUE(p.f.TempoSlide.enabled());
    EXPECT_EQ(p.f.Slab(3).caption(), "");
    p.act("+");
    EXPECT_FALSE(p.f.TempoSlide.enabled());
    EXPECT_EQ(p.f.Slab(3).caption(), "Pause");
    p.f.menuHelpRegole_Click();
    p.f.menuSPiu_Click();
    p.f.menuSNormale_Click();
    p.f.menuHelpRegole_Click();
    EXPECT_EQ(p.drawn(), "WIDTH=704 HEIGHT=528");
}

TEST(Ratio, ThePanelSetsOneMarkAndSaysWhatItExpectsOfATypedRatio) {
    Page p;
    p.show(640, 480);
    p.f.TempoSlide.setEnabled(true);
    p.f.menuRisoluzione_Click();
    EXPECT_TRUE(p.f.Risoluzione.visible());
    EXPECT_EQ(p.f.Slab(3).caption(), "Pause");  // opening pauses a running slideshow
    for (int i = 0; i < 7; ++i) {
        if (p.f.Riso[i]->value()) p.f.Riso[(i + 1) % 7]->userClick();
        p.f.Riso[i]->userClick();
        std::vector<bool> marks;
        for (const auto& r : p.f.Riso) marks.push_back(r->value());
        std::vector<bool> expected(7, false);
        expected[static_cast<std::size_t>(i)] = true;
        EXPECT_EQ(marks, expected) << i;
        EXPECT_EQ(p.f.RisoAltro.text(), ratioPresets[i].text) << i;
    }
    // Clicking the checked one clears its mark and applies it again.
    p.f.Riso[6]->userClick();
    EXPECT_FALSE(p.f.Riso[6]->value());
    EXPECT_EQ(p.drawn(), "WIDTH=478 HEIGHT=480");

    // While typing, OK is greyed and keys run no command; unreadable text changes nothing and says why.
    p.f.RisoAltro.setFocus();
    for (int code : {48, 90, 187}) p.f.window.onKeyDown(code, 0);
    EXPECT_FALSE(p.f.ChiudiRisoluzione.enabled());
    EXPECT_TRUE(p.h.trash.trashed.empty());
    EXPECT_EQ(p.drawn(), "WIDTH=478 HEIGHT=480");
    for (const char* bad : {"abc", "0", "", "1.2.3", "-1", "400"}) p.act(std::string("t") + bad);
    EXPECT_EQ(p.drawn(), "WIDTH=478 HEIGHT=480");
    ASSERT_EQ(p.h.messages.shown.size(), 6u);
    EXPECT_NE(p.h.messages.shown[0].text.find("1.78"), std::string::npos);
    p.act("t1.5");
    EXPECT_TRUE(p.f.ChiudiRisoluzione.enabled());
    EXPECT_TRUE(p.f.Tastiera.hasFocus());
    p.f.ChiudiRisoluzione.userClick();
    EXPECT_FALSE(p.f.Risoluzione.visible());
    EXPECT_FALSE(p.f.TempoSlide.enabled());  // OK does not resume
}

TEST(Ratio, TypedRatiosAreReadWithAPointOrACommaInHundredths) {
    const std::pair<const char*, int> good[] = {{"1.50", 150}, {" 1,5 ", 150}, {"2", 200},
                                                {".75", 75},   {"1.785", 178}, {"327.67", 32767}};
    for (const auto& [text, hundredths] : good) EXPECT_EQ(readRatioHundredths(text), hundredths) << text;
    for (const char* bad : {"", " ", ".", "1..2", "1.2.3", "abc", "1e2", "-1", "0", "0.004", "327.68", "+1"})
        EXPECT_FALSE(readRatioHundredths(bad)) << bad;
}

}  // namespace
}  // namespace gb
