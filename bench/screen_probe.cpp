// SPDX-License-Identifier: GPL-3.0-or-later
// Watches the screen as a user does, for the key-to-screen benchmark (bench/screen.py): presses keys through
// XTEST and reads a 96 x 96 region at the screen's centre until it has not changed for 400 ms. A latency is
// from the key (or a given start) to the first read that already shows the final content; the frames are the
// distinct contents seen after the key, the final one included (1: the old picture, then the new one).
//
// Commands, one a line on standard input, each answered with one line on standard output:
//   key KEYSYM [T0]   press and release KEYSYM; timed from the press (or from T0, CLOCK_MONOTONIC in ns)
//   watch T0 MS       wait for the region to change from what it shows now and settle; timed from T0; gives up
//                     after MS ms without a change
//   first KEYSYM MS   press and release KEYSYM; timed to the first read showing another picture, within MS ms
//                     (quick steps: the picture need not stay)
//   cleared MS        wait until the region shows no picture (a viewer that ended has left the screen), at most
//                     MS ms
//   quit
// Answer: "latency MS frames N changed 0|1" (latency -1 when nothing final came)
//
// Built only where the XTest extension's headers are (Debian: libxtst-dev).

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int side = 96;
constexpr std::int64_t settledNs = 400'000'000;
constexpr auto pollEvery = std::chrono::microseconds(1500);

std::int64_t now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

class CentreRegion {
public:
    explicit CentreRegion(Display* display) : display_(display) {
        const int screen = DefaultScreen(display);
        x_ = (DisplayWidth(display, screen) - side) / 2;
        y_ = (DisplayHeight(display, screen) - side) / 2;
        root_ = RootWindow(display, screen);
    }
    // The region's pixels now; empty when the server cannot give them.
    std::vector<std::uint32_t> read() const {
        std::vector<std::uint32_t> pixels;
        XImage* image = XGetImage(display_, root_, x_, y_, side, side, AllPlanes, ZPixmap);
        if (!image) return pixels;
        pixels.reserve(side * side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
        XDestroyImage(image);
        return pixels;
    }

private:
    Display* display_;
    Window root_;
    int x_ = 0, y_ = 0;
};

struct Seen {
    double latencyMs = -1;
    int frames = 0;
    bool changed = false;
};

// Whether the region shows a picture rather than an empty window or a flat placeholder.
bool textured(const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint32_t> values;
    for (std::size_t i = 0; i < pixels.size() && values.size() < 16; i += 7)
        if (std::find(values.begin(), values.end(), pixels[i]) == values.end()) values.push_back(pixels[i]);
    return values.size() >= 16;
}

// Reads until the content differs from `before`, shows a picture and has held 400 ms.
Seen watch(const CentreRegion& region, const std::vector<std::uint32_t>& before, std::int64_t t0,
           std::int64_t giveUpNs) {
    Seen seen;
    std::vector<std::uint32_t> current = before;
    std::int64_t since = now();
    std::vector<std::vector<std::uint32_t>> distinct;
    for (;;) {
        std::this_thread::sleep_for(pollEvery);
        const std::int64_t t = now();
        std::vector<std::uint32_t> pixels = region.read();
        if (pixels != current) {
            current = std::move(pixels);
            since = t;
            bool known = false;
            for (const auto& d : distinct) known = known || d == current;
            if (!known) distinct.push_back(current);
        }
        const bool changed = current != before;
        if (changed && textured(current) && t - since >= settledNs) {
            seen.changed = true;
            seen.latencyMs = static_cast<double>(since - t0) / 1e6;
            break;
        }
        if (!changed && t - t0 >= giveUpNs) break;
    }
    seen.frames = static_cast<int>(distinct.size());
    return seen;
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_probe: cannot open the display\n");
        return 2;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "screen_probe: the X server has no XTEST\n");
        return 2;
    }
    const CentreRegion region(display);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        Seen seen;
        if (command == "key") {
            std::string name;
            std::int64_t t0 = 0;
            in >> name >> t0;
            const KeySym sym = XStringToKeysym(name.c_str());
            const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
            if (code == 0) {
                std::printf("error unknown key %s\n", name.c_str());
                std::fflush(stdout);
                continue;
            }
            const auto before = region.read();
            const std::int64_t pressed = now();
            XTestFakeKeyEvent(display, code, True, CurrentTime);
            XTestFakeKeyEvent(display, code, False, CurrentTime);
            XFlush(display);
            seen = watch(region, before, t0 > 0 ? t0 : pressed, 10'000'000'000);
        } else if (command == "first") {
            std::string name;
            std::int64_t ms = 0;
            in >> name >> ms;
            const KeySym sym = XStringToKeysym(name.c_str());
            const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
            const auto before = region.read();
            const std::int64_t pressed = now();
            XTestFakeKeyEvent(display, code, True, CurrentTime);
            XTestFakeKeyEvent(display, code, False, CurrentTime);
            XFlush(display);
            while (now() - pressed < ms * 1'000'000) {
                std::this_thread::sleep_for(pollEvery);
                const auto pixels = region.read();
                if (pixels != before && textured(pixels)) {
                    seen.latencyMs = static_cast<double>(now() - pressed) / 1e6;
                    seen.changed = true;
                    seen.frames = 1;
                    break;
                }
            }
        } else if (command == "watch") {
            std::int64_t t0 = 0, ms = 0;
            in >> t0 >> ms;
            seen = watch(region, region.read(), t0, ms * 1'000'000);
        } else if (command == "cleared") {
            // A viewer that ended may leave its last picture on the screen for a moment: the next one's start is
            // watched from an empty screen, or it would show "no change" when it shows the same picture.
            std::int64_t ms = 0;
            in >> ms;
            const std::int64_t asked = now();
            while (textured(region.read()) && now() - asked < ms * 1'000'000) std::this_thread::sleep_for(pollEvery);
            seen.changed = !textured(region.read());
            seen.latencyMs = static_cast<double>(now() - asked) / 1e6;
        } else if (command == "quit") {
            break;
        } else {
            std::printf("error unknown command %s\n", command.c_str());
            std::fflush(stdout);
            continue;
        }
        std::printf("latency %.1f frames %d changed %d\n", seen.latencyMs, seen.frames, seen.changed ? 1 : 0);
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
