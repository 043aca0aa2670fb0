// SPDX-License-Identifier: GPL-3.0-or-later
// What the viewer asks to have decoded ahead: the picture on show and its neighbours, in the direction of
// travel, each at exactly the size it gets when it is shown.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb::platform {
void PrintTo(const PreloadRequest& r, std::ostream* os) { *os << r.path << " " << r.width << "x" << r.height; }
}  // namespace gb::platform

namespace gb {
namespace {

using platform::PreloadRequest;

struct Preload : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    // Sizes chosen so that fits, ratios and the 16-bit limit all round differently.
    const std::vector<std::pair<int, int>> sizes{{6000, 4000},   {641, 300}, {1200, 1600},
                                                 {40000, 30000}, {333, 777}, {1280, 970}};

    void SetUp() override {
        h.start();
        std::vector<std::string> names;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            names.push_back("p" + std::to_string(i) + ".jpg");
            h.probe.add("/pics/" + names.back(), sizes[i].first, sizes[i].second);
        }
        h.files.folders["/pics"] = names;
        h.fileDialog.answers.push_back(platform::OpenFileAnswer{"/pics/p0.jpg", 1});
        f.menuFileScegli_Click();
        h.events.runAll();
    }
    const std::vector<PreloadRequest>& last() const { return h.preloader.calls.back(); }
    std::string path(int i) const { return "/pics/p" + std::to_string(i) + ".jpg"; }
    PreloadRequest shown() const { return {f.DoveShow.text(), f.page.shownWidth(), f.page.shownHeight()}; }
};

TEST_F(Preload, EveryStepFindsTheNextPictureAskedForAtTheSizeItIsDrawn) {
    const auto walk = [&](const char* mode) {
        for (std::size_t i = 1; i < sizes.size(); ++i) {
            ASSERT_GE(last().size(), 2u) << mode;
            const PreloadRequest predicted = last()[1];
            f.menuSAvanti_Click();
            h.events.runAll();
            EXPECT_EQ(predicted, shown()) << mode << " step " << i;
            EXPECT_EQ(last().front(), shown()) << mode << " step " << i;
        }
        while (f.queue.queuePos() > 1) {
            f.menuSIndietro_Click();
            h.events.runAll();
        }
    };
    walk("normal");
    f.ratio.choose(177);  // 1.33 / 1.77
    f.ApplyRatioChange();
    walk("normal, ratio 0.75");
    f.menuFit_Click();
    h.events.runAll();
    walk("full screen, larger ones reduced");
    f.menuFitP_Click();
    h.events.runAll();
    walk("full screen, all filling the screen");
}

TEST_F(Preload, TheNextTwoInTheDirectionOfTravelComeFirstThenTheOneBehind) {
    const auto paths = [&] {
        std::vector<std::string> p;
        for (const auto& r : last()) p.push_back(r.path);
        return p;
    };
    EXPECT_EQ(paths(), (std::vector<std::string>{path(0), path(1), path(2)}));  // nothing behind the first
    f.menuSAvanti_Click();
    f.menuSAvanti_Click();
    h.events.runAll();
    EXPECT_EQ(paths(), (std::vector<std::string>{path(2), path(3), path(4), path(1)}));
    f.menuSIndietro_Click();
    h.events.runAll();
    EXPECT_EQ(paths(), (std::vector<std::string>{path(1), path(0), path(2)}));  // nothing before the first
    while (f.queue.queuePos() < static_cast<int>(sizes.size())) f.menuSAvanti_Click();
    h.events.runAll();
    EXPECT_EQ(paths(), (std::vector<std::string>{path(5), path(4)}));  // at the end only the one behind
}

TEST_F(Preload, AFileThatCannotBeShownIsNotAskedForAndAnErrorPageAsksOnlyForItsNeighbours) {
    h.probe.unreadable(path(2));
    f.menuSAvanti_Click();
    h.events.runAll();
    EXPECT_EQ(last(), (std::vector<PreloadRequest>{shown(), last()[1], last()[2]}));
    EXPECT_EQ(last()[1].path, path(3));  // the unreadable next one is left out
    EXPECT_EQ(last()[2].path, path(0));
    f.menuSAvanti_Click();
    h.events.runAll();
    ASSERT_FALSE(f.page.hasPicture());  // the page says why the file cannot be shown
    EXPECT_EQ(last()[0].path, path(3));
    EXPECT_EQ(last()[1].path, path(4));
    EXPECT_EQ(last()[2].path, path(1));
}

}  // namespace
}  // namespace gb
