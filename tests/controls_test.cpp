// SPDX-License-Identifier: GPL-3.0-or-later
// The window system's event rules that the logic relies on.

#include "platform/controls.h"

#include <gtest/gtest.h>

namespace gb::platform {
namespace {

TEST(ComboBox, TextWrittenFromCodeRaisesNothingButAPickRaisesClick) {
    ComboBox box("DoveShow", true, true);
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.addItem("/p/b.jpg");
    box.addItem("/p/a.jpg");
    box.setText("/p/b.jpg");
    EXPECT_EQ(clicks, 0);
    box.userPick(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box.text(), "/p/a.jpg");
    box.userPick(5);  // no such entry
    EXPECT_EQ(clicks, 1);
}

TEST(SortedLists, IgnoreCaseAndKeepTheOrderOfEqualEntries) {
    ListModel list(true);
    for (const char* s : {"b.jpg", "B.JPG", "a.jpg", "C.jpg", "A.jpg", "_x.jpg", "a b.jpg"}) list.add(s);
    const std::vector<std::string> expected = {"_x.jpg", "a b.jpg", "a.jpg", "A.jpg", "b.jpg", "B.JPG", "C.jpg"};
    EXPECT_EQ(list.items(), expected);
    ListModel unsorted(false);
    unsorted.add("2");
    unsorted.add("10");
    EXPECT_EQ(unsorted.items(), (std::vector<std::string>{"2", "10"}));
}

TEST(ListBox, IndexWrittenFromCodeRaisesClickAndRemovalKeepsTheSelection) {
    ListBox list("ListNO", true);
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    list.addItem("a");
    list.addItem("b");
    list.addItem("c");
    list.setListIndex(2);
    EXPECT_EQ(clicks, 1);
    list.removeItem(0);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.listItem(list.listIndex()), "c");
    list.removeItem(1);
    EXPECT_EQ(list.listIndex(), -1);
    list.setListIndex(7);  // out of range: nothing
    EXPECT_EQ(clicks, 1);
}

TEST(CheckBox, ValueWrittenFromCodeRaisesClickWhenItChanges) {
    CheckBox box("Riso(0)");
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.setValue(true);
    box.setValue(true);
    box.userClick();
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.value());
}

TEST(MenuItem, AClickArrivesOnlyWhenTheItemAndItsMenusAreEnabled) {
    MenuItem menu("menuSlShow", "Slideshow");
    MenuItem item("menuSAvanti", "Forward", &menu);
    int clicks = 0;
    item.onClick = [&] { ++clicks; };
    item.userClick();
    menu.setEnabled(false);
    item.userClick();
    menu.setEnabled(true);
    item.setEnabled(false);
    item.userClick();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menu.children(), std::vector<MenuItem*>{&item});
}

TEST(Timer, TicksOnlyWhileEnabledAndRefusesImpossibleIntervals) {
    Timer timer("TempoSlide");
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    EXPECT_TRUE(timer.setInterval(1000));
    timer.elapse();
    timer.setEnabled(true);
    timer.elapse();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.setInterval(70000));
    EXPECT_FALSE(timer.setInterval(-1));
    EXPECT_EQ(timer.interval(), 1000);
}

TEST(Window, ResizeEventsFollowSizeAndStateChanges) {
    Window window("Form1");
    int resizes = 0;
    window.onResize = [&] { ++resizes; };
    window.resized(800, 600);
    window.resized(800, 600);
    EXPECT_EQ(resizes, 1);
    window.setWindowState(WindowState::Maximized);
    window.platformMinimized(true);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(window.windowState(), WindowState::Minimized);
    EXPECT_EQ(window.scaleWidth(), 800);
    // Restored to what the logic had asked for, whatever the window manager passed through.
    window.platformMinimized(false);
    EXPECT_EQ(resizes, 3);
    EXPECT_EQ(window.windowState(), WindowState::Maximized);
}

TEST(Window, FocusGoesToTheControlAskingForIt) {
    Window window("Form1");
    TextBox a("Tastiera");
    TextBox b("Other");
    a.attach(&window);
    b.attach(&window);
    a.setFocus();
    EXPECT_TRUE(a.hasFocus());
    b.setFocus();
    EXPECT_FALSE(a.hasFocus());
    EXPECT_EQ(window.focused(), &b);
}

}  // namespace
}  // namespace gb::platform
