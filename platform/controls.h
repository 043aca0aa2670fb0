// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The control model: plain objects that hold exactly the state the logic reads and writes, with the event rules
// of the window system the logic relies on. A view renders them and forwards the user's gestures; tests drive
// them directly.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gb::platform {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// System colours are resolved by the view; plain RGB colours are fixed.
enum class SystemColour { None, ActiveBorder, ButtonFace };

struct Appearance {
    std::optional<Rgb> background;
    SystemColour systemBackground = SystemColour::None;
    std::optional<Rgb> foreground;
    bool bold = false;
    double pointSize = 0;  // 0: the toolkit's default
};

enum class ControlKind { Label, TextBox, ComboBox, ListBox, CheckBox, Button, Frame, ImageBox, Browser };

class Window;

class Control {
public:
    Control(ControlKind kind, std::string name, Control* container = nullptr);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Control* container() const { return container_; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int v);
    void setTop(int v);
    void setWidth(int v);
    void setHeight(int v);
    void move(int left, int top, int width, int height);
    // The same from a design in twips, each value cut to whole pixels.
    void moveTwips(int left, int top, int width, int height);

    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);

    // Gives this control the keyboard focus of its window.
    void setFocus();
    bool hasFocus() const;
    Window* window() const { return window_; }
    void attach(Window* window) { window_ = window; }

    // Design-time attributes, read by the view once.
    Appearance appearance;
    std::string toolTip;
    std::string accessibleName;
    std::string accessibleDescription;

    // Called after every change of state; the view's hook.
    std::function<void()> onChanged;

protected:
    void changed();

private:
    ControlKind kind_;
    std::string name_;
    Control* container_;
    Window* window_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
};

class Label : public Control {
public:
    explicit Label(std::string name, Control* container = nullptr)
        : Control(ControlKind::Label, std::move(name), container) {}
    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);

private:
    std::string caption_;
};

class TextBox : public Control {
public:
    explicit TextBox(std::string name, Control* container = nullptr)
        : Control(ControlKind::TextBox, std::move(name), container) {}
    const std::string& text() const { return text_; }
    void setText(std::string v);
    // Design: a locked text box shows text the user cannot edit.
    bool locked = false;
    // Design: a box that only holds the keyboard focus for the window's key handler; nobody types into it.
    bool focusHolder = false;
    // A typing gesture of the user: the text changes as it would from code.
    void userType(std::string v) { setText(std::move(v)); }

private:
    std::string text_;
};

// Order of sorted lists and combo boxes: ascending without regard to ASCII case; entries equal but for case
// keep the order in which they were added.
bool sortsBefore(const std::string& a, const std::string& b);

// How a list's entries changed; views follow entry by entry so that long lists stay cheap.
enum class ListChange { Inserted, Removed, Cleared };

// A list of strings with an optional sorted insertion.
class ListModel {
public:
    explicit ListModel(bool sorted) : sorted_(sorted) {}
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& items() const { return items_; }
    int add(std::string item);  // returns the index the item went to
    void removeAt(int index);
    void clear();

private:
    bool sorted_;
    std::vector<std::string> items_;
};

// A combo box: writing its text from code raises nothing; picking an entry raises onClick.
class ComboBox : public Control {
public:
    ComboBox(std::string name, bool sorted, bool editable, Control* container = nullptr)
        : Control(ControlKind::ComboBox, std::move(name), container), list_(sorted), editable_(editable) {}
    // An editable combo box shows any text; a drop-down list shows one of its entries.
    bool editable() const { return editable_; }
    const std::string& text() const { return text_; }
    void setText(std::string v);
    int listCount() const { return list_.count(); }
    const std::string& listItem(int index) const { return list_.item(index); }
    const std::vector<std::string>& listItems() const { return list_.items(); }
    int addItem(std::string item);
    void removeItem(int index);
    void clear();

    // The user picks entry `index` from the drop-down list.
    void userPick(int index);
    std::function<void()> onClick;
    // Entries changed (index of the entry; -1 for Cleared). Changes of text and placement go to onChanged.
    std::function<void(ListChange, int index)> onListChanged;

private:
    ListModel list_;
    bool editable_;
    std::string text_;
};

// A list box: writing the selected index from code raises onClick, as a user's pick does.
class ListBox : public Control {
public:
    ListBox(std::string name, bool sorted, Control* container = nullptr)
        : Control(ControlKind::ListBox, std::move(name), container), list_(sorted) {}
    int listCount() const { return list_.count(); }
    const std::string& listItem(int index) const { return list_.item(index); }
    const std::vector<std::string>& listItems() const { return list_.items(); }
    int addItem(std::string item);
    void removeItem(int index);
    void clear();
    int listIndex() const { return listIndex_; }
    void setListIndex(int index);
    void userPick(int index) { setListIndex(index); }
    std::function<void()> onClick;
    std::function<void(ListChange, int index)> onListChanged;

private:
    ListModel list_;
    int listIndex_ = -1;
};

// A check box: a value written from code raises onClick when it changes, as a user's click does.
class CheckBox : public Control {
public:
    explicit CheckBox(std::string name, Control* container = nullptr)
        : Control(ControlKind::CheckBox, std::move(name), container) {}
    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);
    bool value() const { return value_; }
    void setValue(bool v);
    void userClick() { setValue(!value_); }
    std::function<void()> onClick;

private:
    std::string caption_;
    bool value_ = false;
};

class Button : public Control {
public:
    explicit Button(std::string name, Control* container = nullptr)
        : Control(ControlKind::Button, std::move(name), container) {}
    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);
    void userClick();
    std::function<void()> onClick;

private:
    std::string caption_;
};

// A frame: a container with a caption; a hidden frame hides what it holds.
class Frame : public Control {
public:
    explicit Frame(std::string name, Control* container = nullptr)
        : Control(ControlKind::Frame, std::move(name), container) {}
    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);

private:
    std::string caption_;
};

// A picture box showing an image file (the preview of the suspended-images window).
class ImageBox : public Control {
public:
    explicit ImageBox(std::string name, Control* container = nullptr)
        : Control(ControlKind::ImageBox, std::move(name), container) {}
    const std::string& picturePath() const { return picturePath_; }
    void setPicturePath(std::string v);

private:
    std::string picturePath_;
};

// A menu title or item. Checked marks and enabled flags are plain state; a click arrives only when the item and
// every menu above it are enabled.
class MenuItem {
public:
    MenuItem(std::string name, std::string caption, MenuItem* parent = nullptr);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    MenuItem* parent() const { return parent_; }
    const std::vector<MenuItem*>& children() const { return children_; }
    bool isSeparator() const { return caption_ == "-"; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);
    bool checked() const { return checked_; }
    void setChecked(bool v);
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Whether the item and every menu above it are enabled.
    bool reachable() const;

    std::string shortcut;  // "F1" .. "F3" or empty

    // A pick by the user (mouse or shortcut key); ignored when not reachable.
    void userClick();
    std::function<void()> onClick;
    std::function<void()> onChanged;

private:
    void changed();
    std::string name_;
    std::string caption_;
    MenuItem* parent_;
    std::vector<MenuItem*> children_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
};

// A timer: enabling it (again) or changing its interval starts a full countdown.
class Timer {
public:
    explicit Timer(std::string name) : name_(std::move(name)) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    // Returns false for an interval the timer does not accept (below 0 or above 65535 ms); nothing changes then.
    bool setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    // Raised by the platform when the countdown ends; ignored while disabled.
    void elapse();
    std::function<void()> onTimer;
    // The platform restarts its countdown on every change.
    std::function<void()> onChanged;

private:
    std::string name_;
    int interval_ = 0;
    bool enabled_ = false;
};

enum class WindowState { Normal, Minimized, Maximized };

// A top-level window. Its outer position and size are in twips; its client area in pixels.
class Window {
public:
    static constexpr int twipsPerPixel = 15;

    explicit Window(std::string name) : name_(std::move(name)) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    const std::string& name() const { return name_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string v);
    bool visible() const { return visible_; }
    void setVisible(bool v);

    std::int64_t left() const { return left_; }
    std::int64_t top() const { return top_; }
    // Moves the outer window (twips); size unchanged.
    void move(std::int64_t left, std::int64_t top);
    // Moves and sizes the outer window (twips).
    void move(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);
    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }

    WindowState windowState() const { return state_; }
    // The platform applies the state and reports the resulting client size through resized().
    void setWindowState(WindowState s);

    int scaleWidth() const { return scaleWidth_; }
    int scaleHeight() const { return scaleHeight_; }

    // Control with the keyboard focus (nullptr: none of the model's).
    Control* focused() const { return focused_; }
    void setFocus(Control* control);
    // The platform moved the focus (a click, Tab): recorded without raising anything.
    void platformFocusChanged(Control* control) { focused_ = control; }

    // Reported by the platform: the user minimised the window or restored it (to the state the logic last set);
    // the client size. Each raises onResize when it changes something. Maximised and full-screen transitions
    // are the logic's own requests and are not reported back: a window manager passes through intermediate
    // states on its way, and the logic must not take them for its own.
    void platformMinimized(bool minimized);
    void resized(int clientWidth, int clientHeight);
    // The platform moved or sized the outer window (twips): recorded without raising anything.
    void platformGeometry(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);

    std::function<void()> onResize;
    // Key codes as virtual-key numbers; shift state bits 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(int& keyCode, int shift)> onKeyDown;
    // The close box or the platform's request to close: return true to cancel.
    std::function<bool()> onQueryUnload;
    // The window goes for good (the platform closes it); a window whose program ends.
    void unload();
    bool unloaded() const { return unloaded_; }
    std::function<void()> onChanged;

private:
    void changed();
    std::string name_;
    std::string caption_;
    bool visible_ = false;
    std::int64_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    WindowState state_ = WindowState::Normal;
    WindowState restoredState_ = WindowState::Normal;
    int scaleWidth_ = 0, scaleHeight_ = 0;
    Control* focused_ = nullptr;
    bool unloaded_ = false;
};

}  // namespace gb::platform
