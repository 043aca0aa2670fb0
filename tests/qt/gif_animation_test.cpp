// SPDX-License-Identifier: GPL-3.0-or-later
// GIFs play as browsers play them: the composed pixels of every frame for each disposal method with and
// without a transparent index, frames outside the logical screen, the delays, and how many times a GIF plays
// before it rests on its last frame.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <filesystem>
#include <random>

#include "platform/qt/image/animation.h"
#include "platform/qt/image/frame_source.h"
#include "platform/qt/image/gif_frames.h"
#include "tests/qt/gif_writer.h"
#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

using test::GifFile;
using test::GifFrame;

const std::vector<QRgb> rgbw = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
constexpr int R = 0, G = 1, B = 2, W = 3;

// The canvas as text, a row at a time: R, G, B, W for the palette's colours, '.' for transparent.
std::string picture(const QImage& image) {
    std::string out;
    for (int y = 0; y < image.height(); ++y) {
        if (y) out += '/';
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const auto at = std::find(rgbw.begin(), rgbw.end(), c);
            out += qAlpha(c) == 0 ? '.' : at != rgbw.end() ? "RGBW"[at - rgbw.begin()] : '?';
        }
    }
    return out;
}

GifFrame filled(QRect rect, int index, int disposal = 0) {
    GifFrame f;
    f.rect = rect;
    f.indices.assign(static_cast<std::size_t>(rect.width() * rect.height()), index);
    f.disposal = disposal;
    return f;
}

// Every frame's picture, composed from `bytes`.
std::vector<std::string> compose(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    GifFrames gif(buffer);
    std::vector<std::string> frames;
    if (!gif.start(1 << 20)) return frames;
    while (gif.next()) frames.push_back(picture(gif.canvas()));
    return frames;
}

struct DisposalCase {
    int firstDisposal, secondDisposal;
    bool transparent;
    std::string second, third;
};

// A red screen, then a 2 x 2 frame with one pixel of index W (transparent or white), then one blue pixel: what
// the third frame shows is what the second frame's disposal left.
TEST(GifComposition, EachDisposalMethodWithAndWithoutATransparentIndex) {
    const DisposalCase cases[] = {
        {1, 0, false, "RGWR/RBGR", "BGWR/RBGR"},  // none: the frame stays
        {1, 0, true, "RGRR/RBGR", "BGRR/RBGR"},
        {1, 1, false, "RGWR/RBGR", "BGWR/RBGR"},  // do not dispose
        {1, 1, true, "RGRR/RBGR", "BGRR/RBGR"},
        {1, 2, false, "RGWR/RBGR", "B..R/R..R"},  // restore to background: transparent, palette or not
        {1, 2, true, "RGRR/RBGR", "B..R/R..R"},
        {1, 3, false, "RGWR/RBGR", "BRRR/RRRR"},  // restore to previous
        {1, 3, true, "RGRR/RBGR", "BRRR/RRRR"},
        {1, 4, false, "RGWR/RBGR", "BRRR/RRRR"},  // written by some encoders for "restore to previous"
        {2, 0, false, ".GW./.BG.", "BGW./.BG."},  // the first frame cleared...
        {2, 0, true, ".G../.BG.", "BG../.BG."},
        {3, 0, false, ".GW./.BG.", "BGW./.BG."},  // ...or put back to the empty canvas
        {3, 3, true, ".G../.BG.", "B.../...."},
    };
    for (const DisposalCase& c : cases) {
        GifFile gif{{4, 2}, rgbw, std::nullopt, {}};
        gif.frames.push_back(filled({0, 0, 4, 2}, R, c.firstDisposal));
        GifFrame second{{1, 0, 2, 2}, {G, W, B, G}, c.secondDisposal, c.transparent ? W : -1, 0, false, {}};
        gif.frames.push_back(second);
        gif.frames.push_back(filled({0, 0, 1, 1}, B));
        const std::vector<std::string> want = {"RRRR/RRRR", c.second, c.third};
        EXPECT_EQ(compose(test::gifBytes(gif)), want)
            << "disposals " << c.firstDisposal << ", " << c.secondDisposal << (c.transparent ? " transparent" : "");
    }
}

TEST(GifComposition, AFrameOutsideTheScreenDrawsAndClearsOnlyWhatFallsInside) {
    const struct {
        QRect rect;
        std::string second, third;
    } cases[] = {
        {{3, 1, 3, 3}, "RRRR/RRRG", "RRRR/BRR."},            // over the right and bottom edges
        {{1, 1, 2, 5}, "RRRR/RGGR", "RRRR/B..R"},            // over the bottom edge
        {{0, 0, 9, 9}, "GGGG/GGGG", "..../B..."},            // larger than the screen
        {{10, 0, 2, 2}, "RRRR/RRRR", "RRRR/BRRR"},           // wholly outside
        {{65000, 65000, 300, 2}, "RRRR/RRRR", "RRRR/BRRR"},  // far outside
        {{2, 0, 0, 0}, "RRRR/RRRR", "RRRR/BRRR"},            // empty
    };
    for (const auto& c : cases) {
        GifFile gif{{4, 2}, rgbw, std::nullopt, {}};
        gif.frames.push_back(filled({0, 0, 4, 2}, R, 1));
        gif.frames.push_back(filled(c.rect, G, 2));
        gif.frames.push_back(filled({0, 1, 1, 1}, B));
        const std::vector<std::string> want = {"RRRR/RRRR", c.second, c.third};
        EXPECT_EQ(compose(test::gifBytes(gif)), want)
            << c.rect.x() << "," << c.rect.y() << " " << c.rect.width() << "x" << c.rect.height();
    }
}

TEST(GifComposition, LocalPalettesInterlacingAndLongCodesDecodeExactly) {
    // Noise over 256 colours fills the code table (12-bit codes, clear codes); one index repeated makes the
    // longest strings; an interlaced frame lands on the same rows as a plain one.
    std::vector<QRgb> grey(256);
    for (int i = 0; i < 256; ++i) grey[i] = qRgb(i, 255 - i, i / 2);
    std::mt19937 random(7);
    GifFrame noise{{0, 0, 97, 61}, {}, 1, -1, 0, false, {}};
    for (int i = 0; i < 97 * 61; ++i) noise.indices.push_back(random() % 4 == 0 ? 5 : int(random() % 256));
    GifFile gif{{97, 61}, {}, std::nullopt, {}};
    noise.palette = grey;
    gif.frames.push_back(noise);
    GifFrame interlaced = noise;
    interlaced.interlaced = true;
    std::reverse(interlaced.indices.begin(), interlaced.indices.end());
    gif.frames.push_back(interlaced);
    gif.frames.push_back(GifFrame{{0, 0, 97, 61}, std::vector<int>(97 * 61, 200), 0, -1, 0, false, grey});
    const QByteArray bytes = test::gifBytes(gif);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    GifFrames frames(buffer);
    ASSERT_TRUE(frames.start(1 << 20));
    for (const GifFrame& f : gif.frames) {
        ASSERT_TRUE(frames.next());
        int wrong = 0;
        for (int i = 0; i < 97 * 61; ++i) wrong += frames.canvas().pixel(i % 97, i / 97) != grey[f.indices[i]];
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_FALSE(frames.next());

    // Qt's own decoder reads the same first frame: the encoder above is no private dialect.
    QBuffer again;
    again.setData(bytes);
    again.open(QIODevice::ReadOnly);
    const QImage qt = QImageReader(&again, "gif").read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_TRUE(frames.rewind());
    ASSERT_TRUE(frames.next());
    EXPECT_EQ(frames.canvas().convertToFormat(QImage::Format_ARGB32), qt);
}

TEST(GifComposition, BrokenDataEndsTheFrameWhereItBreaks) {
    GifFile gif{{4, 1}, rgbw, std::nullopt, {}};
    gif.frames.push_back(filled({0, 0, 4, 1}, R));
    const qsizetype second = test::gifBytes(gif).size() - 1;  // where the second frame's control starts
    gif.frames.push_back(filled({0, 0, 4, 1}, B));
    const QByteArray good = test::gifBytes(gif);
    // The second frame's data: a clear code, green, then a code that is not defined yet.
    QByteArray undefined = good;
    const qsizetype data = second + 8 + 10;  // past its control and its descriptor
    undefined.replace(data, undefined.size() - data, QByteArray("\x02\x02\xCC\x01\x00\x3B", 6));
    EXPECT_EQ(compose(undefined), (std::vector<std::string>{"RRRR", "GRRR"}));
    // A minimum code size no decoder can have: nothing drawn, and nothing after it.
    QByteArray badSize = good;
    badSize[data] = char(12);
    EXPECT_EQ(compose(badSize), (std::vector<std::string>{"RRRR", "RRRR"}));
    // Cut in the second frame's data: what arrived is drawn, and that frame is the last.
    EXPECT_EQ(compose(good.left(data + 2)), (std::vector<std::string>{"RRRR", "RRRR"}));
    EXPECT_EQ(compose(good.left(second)), (std::vector<std::string>{"RRRR"}));
    // Not a GIF, or an empty screen: no frame at all.
    EXPECT_TRUE(compose(QByteArray("GIF89a\0\0\0\0\0\0\0;", 14)).empty());
    EXPECT_TRUE(compose("GIF90a").empty());
}

struct Played {
    std::vector<int> delays;
    std::vector<std::string> pictures;
};

// Steps through the frames as the animation does, up to `most` frames or the one it rests on.
Played play(const QString& path, int most) {
    DecodeStop stop;
    RemoteFrames source(path, 1 << 20, stop);
    Played played;
    for (int i = 0; i < most; ++i) {
        const AnimationFrame frame = source.next();
        if (frame.image.isNull()) break;
        played.delays.push_back(frame.delayMs);
        played.pictures.push_back(picture(frame.image));
        if (frame.last) break;
    }
    return played;
}

TEST(GifPlaying, ARepeatCountOfNPlaysNPlusOneTimesAndNoneOnce) {
    QTemporaryDir dir;
    const struct {
        std::optional<int> repeats;
        int frames;  // played before it rests; 40: still playing
    } cases[] = {{std::nullopt, 3}, {0, 40}, {1, 6}, {2, 9}};
    for (const auto& c : cases) {
        GifFile gif{{2, 1}, rgbw, c.repeats, {}};
        for (const int colour : {R, G, B}) gif.frames.push_back(filled({0, 0, 2, 1}, colour));
        const QString path = dir.filePath("loops.gif");
        ASSERT_TRUE(test::writeBytes(path, test::gifBytes(gif)));
        const Played played = play(path, 40);
        EXPECT_EQ(int(played.pictures.size()), c.frames) << (c.repeats ? *c.repeats : -1);
        // Each play starts again from the first frame, and the animation rests on the last.
        for (std::size_t i = 0; i < played.pictures.size(); ++i)
            EXPECT_EQ(played.pictures[i], std::string(2, "RGB"[i % 3]));
    }
}

TEST(GifPlaying, DelaysOfTenMillisecondsOrLessStayATenthOfASecond) {
    QTemporaryDir dir;
    GifFile gif{{1, 1}, rgbw, std::nullopt, {}};
    for (const int hundredths : {0, 1, 2, 5, 150}) {
        GifFrame f = filled({0, 0, 1, 1}, R);
        f.delayHundredths = hundredths;
        gif.frames.push_back(f);
    }
    ASSERT_TRUE(test::writeBytes(dir.filePath("delays.gif"), test::gifBytes(gif)));
    EXPECT_EQ(play(dir.filePath("delays.gif"), 10).delays, (std::vector<int>{100, 100, 20, 50, 1500}));
}

// The animation on the window's side: frames as they are shown, and the rest after the last play.
// How many descriptors of this process are open on a file of that name.
int openFilesNamed(const std::string& name) {
    int count = 0;
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error))
        count += std::filesystem::read_symlink(fd.path(), error).filename() == name ? 1 : 0;
    return count;
}

struct AnimationPlay : ::testing::Test {
    QTemporaryDir dir;
    QThreadPool pool;
    MemoryBudget budget{64 << 20};
    std::vector<std::string> shown;

    Animation* start(const GifFile& gif) {
        const QString path = dir.filePath("anim.gif");
        EXPECT_TRUE(test::writeBytes(path, test::gifBytes(gif)));
        auto* animation = new Animation(path, 4LL * gif.screen.width() * gif.screen.height(), pool, 0, budget, nullptr);
        QObject::connect(animation, &Animation::frameChanged,
                         [this, animation] { shown.push_back(picture(animation->frame())); });
        return animation;
    }
    void TearDown() override { pool.waitForDone(); }
};

TEST_F(AnimationPlay, AGifWithoutARepeatCountPlaysOnceAndRestsOnItsLastFrame) {
    GifFile gif{{2, 1}, rgbw, std::nullopt, {}};
    for (const int colour : {R, G, B}) {
        gif.frames.push_back(filled({0, 0, 2, 1}, colour));
        gif.frames.back().delayHundredths = 2;
    }
    Animation* animation = start(gif);
    EXPECT_TRUE(QTest::qWaitFor([&] { return animation->resting() || shown.size() > 6; }, 5000));
    EXPECT_EQ(shown, (std::vector<std::string>{"RR", "GG", "BB"}));
    EXPECT_EQ(picture(animation->frame()), "BB");
    // Resting, it holds no memory of the budget and no file.
    EXPECT_TRUE(QTest::qWaitFor([&] { return budget.inFlight() == 0; }, 2000)) << budget.inFlight();
    EXPECT_EQ(openFilesNamed("anim.gif"), 0);
    animation->finish();
}

TEST_F(AnimationPlay, RestoreToBackgroundClearsTheFrameWithoutATransparentIndex) {
    GifFile gif{{2, 2}, rgbw, 0, {}};
    gif.frames.push_back(filled({0, 0, 2, 2}, R, 2));
    gif.frames.back().delayHundredths = 2;
    gif.frames.push_back(filled({0, 0, 1, 1}, G));
    Animation* animation = start(gif);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 2; }, 5000));
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], "RR/RR");
    EXPECT_EQ(shown[1], "G./..");
    animation->finish();
}

}  // namespace
}  // namespace gb::qt
