// The width/height ratio correction panel.

#include <gtest/gtest.h>

#include <cctype>

#include "ratio/typed_ratio.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

struct Ratio : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    void SetUp() override {
        h.start();
        h.fillQueue({"/pics/a.jpg"});
        h.probe.add("/pics/a.jpg", 640, 480);
        f.menuSAvanti_Click();
        h.events.runAll();
        f.menuRisoluzione_Click();
    }
    void type(const std::string& text) {
        f.RisoAltro.setFocus();
        for (char c : text) {
            int code = c == '+' ? 187 : std::toupper(static_cast<unsigned char>(c));
            f.window.onKeyDown(code, 0);
            f.RisoAltro.userType(f.RisoAltro.text() + c);
        }
    }
    void enter() {
        int code = 13;
        f.window.onKeyDown(code, 0);
    }
    std::vector<bool> marks() const {
        std::vector<bool> v;
        for (const auto& r : f.Riso) v.push_back(r->value());
        return v;
    }
};

TEST_F(Ratio, EachPresetSetsItsRatioTextAndFactorAndClearsTheOtherMarks) {
    const struct {
        int hundredths;
        const char* text;
        double factor;
    } table[7] = {{125, "1.25", 1.064},  {133, "1.33", 1.0},    {142, "1.42", 0.9366}, {160, "1.60", 0.83125},
                  {167, "1.67", 0.7964}, {177, "1.77", 0.7514}, {178, "1.78", 0.7472}};
    for (int i = 0; i < 7; ++i) {
        if (f.Riso[i]->value()) f.Riso[(i + 1) % 7]->userClick();
        f.Riso[i]->userClick();
        EXPECT_EQ(f.ratioHundredths, table[i].hundredths) << i;
        EXPECT_EQ(f.RisoAltro.text(), table[i].text) << i;
        EXPECT_NEAR(f.ratioFactor, table[i].factor, 1e-4) << i;
        std::vector<bool> expected(7, false);
        expected[static_cast<std::size_t>(i)] = true;
        EXPECT_EQ(marks(), expected) << i;
        EXPECT_EQ(f.ratioGuard, 0);
    }
}

TEST_F(Ratio, TheWidthFollowsFromTheWidthOnShow) {
    f.Riso[6]->userClick();
    EXPECT_EQ(f.shownWidth, 478);
    EXPECT_EQ(f.shownHeight, 480);
    EXPECT_NE(f.HDocBrwI->bodyHTML().find("WIDTH=478 HEIGHT=480></center>"), std::string::npos);
    f.Riso[1]->userClick();
    EXPECT_EQ(f.shownWidth, 640);
    EXPECT_EQ(f.ratioFactor, 1.0);
    // The next image gets the factor by itself; "0" shows the uncorrected width.
    f.Riso[6]->userClick();
    f.menuSNormale_Click();
    EXPECT_EQ(f.shownWidth, 640);
    f.WebBrwI.Navigate2("/pics/a.jpg");
    h.events.runAll();
    EXPECT_EQ(f.shownWidth, 478);
}

TEST_F(Ratio, ClickingTheCheckedPresetClearsItsMarkAndAppliesItAgain) {
    f.Riso[1]->userClick();
    EXPECT_EQ(marks(), std::vector<bool>(7, false));
    EXPECT_EQ(f.ratioHundredths, 133);
    EXPECT_EQ(f.shownWidth, 640);
}

TEST_F(Ratio, ATypedRatioAppliesOnEnterAndGreysOkWhileTyping) {
    f.RisoAltro.setText("");
    type("1.50");
    EXPECT_FALSE(f.ChiudiRisoluzione.enabled());
    EXPECT_TRUE(f.RisoAltro.hasFocus());
    enter();
    EXPECT_EQ(f.ratioHundredths, 150);
    EXPECT_DOUBLE_EQ(f.ratioFactor, static_cast<double>(133.0f / 150.0f));
    EXPECT_EQ(marks(), std::vector<bool>(7, false));
    EXPECT_TRUE(f.ChiudiRisoluzione.enabled());
    EXPECT_TRUE(f.Tastiera.hasFocus());
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_EQ(f.shownWidth, 567);  // 640 * 0.8867
}

TEST_F(Ratio, KeysTypedIntoTheBoxRunNoCommand) {
    f.TempoSlide.setEnabled(false);
    f.menuSPiu_Click();
    const int zoomed = f.shownWidth;
    f.RisoAltro.userType("");
    type("0z+");
    EXPECT_EQ(f.shownWidth, zoomed);
    EXPECT_EQ(f.RisoAltro.text(), "0z+");
    EXPECT_TRUE(h.trash.trashed.empty());
}

TEST_F(Ratio, ACommaWorksAndUnreadableTextChangesNothingButSaysWhatIsExpected) {
    f.RisoAltro.setText("");
    type("1,78");
    enter();
    EXPECT_EQ(f.ratioHundredths, 178);
    for (const char* bad : {"abc", "0", "", "1.2.3", "-1", "400"}) {
        const double factor = f.ratioFactor;
        f.RisoAltro.setText("");
        type(bad);
        enter();
        EXPECT_EQ(f.ratioHundredths, 178) << bad;
        EXPECT_EQ(f.ratioFactor, factor) << bad;
    }
    ASSERT_EQ(h.messages.shown.size(), 6u);
    EXPECT_NE(h.messages.shown[0].text.find("1.78"), std::string::npos);
}

TEST_F(Ratio, WithoutAnImagePageTheFactorIsStillRecorded) {
    test::Headless other;
    other.start();
    other.form->Riso[6]->userClick();
    EXPECT_NEAR(other.form->ratioFactor, 0.7472, 1e-4);
    other.form->RisoAltro.setText("9");
    other.form->RisoAltro.setFocus();
    int code = 13;
    other.form->window.onKeyDown(code, 0);
    EXPECT_EQ(other.form->ratioHundredths, 900);
}

TEST_F(Ratio, OpeningPausesARunningSlideshowAndOkClosesWithoutResuming) {
    f.ChiudiRisoluzione_Click();
    f.TempoSlide.setEnabled(true);
    f.Slab(3).setCaption("");
    f.WebBrwI.setLeft(109);
    f.menuRisoluzione_Click();
    EXPECT_TRUE(f.Risoluzione.visible());
    EXPECT_EQ(f.Risoluzione.left(), 111);
    EXPECT_EQ(f.Risoluzione.top(), 42);
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    f.ChiudiRisoluzione.userClick();
    EXPECT_FALSE(f.Risoluzione.visible());
    EXPECT_FALSE(f.TempoSlide.enabled());
}

TEST(TypedRatio, ReadsDecimalsWithAPointOrAComma) {
    EXPECT_EQ(readRatioHundredths("1.50"), 150);
    EXPECT_EQ(readRatioHundredths(" 1,5 "), 150);
    EXPECT_EQ(readRatioHundredths("2"), 200);
    EXPECT_EQ(readRatioHundredths(".75"), 75);
    EXPECT_EQ(readRatioHundredths("1.785"), 178);  // halves to even
    EXPECT_EQ(readRatioHundredths("327.67"), 32767);
    for (const char* bad : {"", " ", ".", "1..2", "1.2.3", "abc", "1e2", "-1", "0", "0.004", "327.68", "+1"})
        EXPECT_FALSE(readRatioHundredths(bad)) << bad;
}

}  // namespace
}  // namespace gb
