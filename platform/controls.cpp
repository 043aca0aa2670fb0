// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/controls.h"

#include <algorithm>

namespace gb::platform {

namespace {
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool sortsBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
    });
}

// ---- Control

Control::Control(ControlKind kind, std::string name, Control* container)
    : kind_(kind), name_(std::move(name)), container_(container) {}

void Control::changed() {
    if (onChanged) onChanged();
}

void Control::setLeft(int v) {
    if (left_ == v) return;
    left_ = v;
    changed();
}
void Control::setTop(int v) {
    if (top_ == v) return;
    top_ = v;
    changed();
}
void Control::setWidth(int v) {
    if (width_ == v) return;
    width_ = v;
    changed();
}
void Control::setHeight(int v) {
    if (height_ == v) return;
    height_ = v;
    changed();
}
void Control::moveTwips(int left, int top, int width, int height) {
    constexpr int t = Window::twipsPerPixel;
    move(left / t, top / t, width / t, height / t);
}

void Control::move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed();
}
void Control::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    changed();
}
void Control::setEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    changed();
}
void Control::setFocus() {
    if (window_) window_->setFocus(this);
}
bool Control::hasFocus() const { return window_ && window_->focused() == this; }

void Label::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}

void TextBox::setText(std::string v) {
    if (text_ == v) return;
    text_ = std::move(v);
    changed();
}

// ---- Lists

int ListModel::add(std::string item) {
    auto at = items_.end();
    if (sorted_) at = std::upper_bound(items_.begin(), items_.end(), item, sortsBefore);
    const auto index = at - items_.begin();
    items_.insert(at, std::move(item));
    return static_cast<int>(index);
}

void ListModel::removeAt(int index) {
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
}

void ListModel::clear() { items_.clear(); }

void ComboBox::setText(std::string v) {
    if (text_ == v) return;
    text_ = std::move(v);
    changed();
}
int ComboBox::addItem(std::string item) {
    const int index = list_.add(std::move(item));
    if (onListChanged) onListChanged(ListChange::Inserted, index);
    return index;
}
void ComboBox::removeItem(int index) {
    if (index < 0 || index >= list_.count()) return;
    list_.removeAt(index);
    if (onListChanged) onListChanged(ListChange::Removed, index);
}
void ComboBox::clear() {
    list_.clear();
    text_.clear();
    if (onListChanged) onListChanged(ListChange::Cleared, -1);
    changed();
}
void ComboBox::userPick(int index) {
    if (index < 0 || index >= list_.count()) return;
    setText(list_.item(index));
    if (onClick) onClick();
}

int ListBox::addItem(std::string item) {
    const int index = list_.add(std::move(item));
    if (listIndex_ >= index) ++listIndex_;
    if (onListChanged) onListChanged(ListChange::Inserted, index);
    return index;
}
void ListBox::removeItem(int index) {
    if (index < 0 || index >= list_.count()) return;
    list_.removeAt(index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    if (onListChanged) onListChanged(ListChange::Removed, index);
}
void ListBox::clear() {
    list_.clear();
    listIndex_ = -1;
    if (onListChanged) onListChanged(ListChange::Cleared, -1);
}
void ListBox::setListIndex(int index) {
    if (index < -1 || index >= list_.count()) return;
    listIndex_ = index;
    changed();
    if (onClick) onClick();
}

void CheckBox::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}
void CheckBox::setValue(bool v) {
    if (value_ == v) return;
    value_ = v;
    changed();
    if (onClick) onClick();
}

void Button::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}
void Button::userClick() {
    if (enabled() && onClick) onClick();
}

void Frame::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}

void ImageBox::setPicturePath(std::string v) {
    if (picturePath_ == v) return;
    picturePath_ = std::move(v);
    changed();
}

// ---- Menus

MenuItem::MenuItem(std::string name, std::string caption, MenuItem* parent)
    : name_(std::move(name)), caption_(std::move(caption)), parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

void MenuItem::changed() {
    if (onChanged) onChanged();
}
void MenuItem::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}
void MenuItem::setChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    changed();
}
void MenuItem::setEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    changed();
}
void MenuItem::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    changed();
}
bool MenuItem::reachable() const {
    for (const MenuItem* m = this; m; m = m->parent_)
        if (!m->enabled_ || !m->visible_) return false;
    return true;
}
void MenuItem::userClick() {
    if (reachable() && onClick) onClick();
}

// ---- Timer

bool Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535) return false;
    interval_ = ms;
    if (onChanged) onChanged();
    return true;
}
void Timer::setEnabled(bool v) {
    enabled_ = v;
    if (onChanged) onChanged();
}
void Timer::elapse() {
    if (enabled_ && interval_ > 0 && onTimer) onTimer();
}

// ---- Window

void Window::changed() {
    if (onChanged) onChanged();
}
void Window::setCaption(std::string v) {
    if (caption_ == v) return;
    caption_ = std::move(v);
    changed();
}
void Window::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    changed();
}
void Window::move(std::int64_t left, std::int64_t top) {
    left_ = left;
    top_ = top;
    changed();
}
void Window::move(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed();
}
void Window::platformGeometry(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}
void Window::unload() {
    unloaded_ = true;
    visible_ = false;
    changed();
}
void Window::setWindowState(WindowState s) {
    state_ = s;
    changed();
}
void Window::setFocus(Control* control) {
    focused_ = control;
    changed();
}
void Window::platformMinimized(bool minimized) {
    if (minimized == (state_ == WindowState::Minimized)) return;
    if (minimized) restoredState_ = state_;
    state_ = minimized ? WindowState::Minimized : restoredState_;
    if (onResize) onResize();
}
void Window::resized(int clientWidth, int clientHeight) {
    if (scaleWidth_ == clientWidth && scaleHeight_ == clientHeight) return;
    scaleWidth_ = clientWidth;
    scaleHeight_ = clientHeight;
    if (onResize) onResize();
}

}  // namespace gb::platform
