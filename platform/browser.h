// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The embedded browser control and its document, as the logic sees them. Loading is asynchronous: Navigate2
// returns at once and the document-complete event arrives later through the event queue.

#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/services.h"

namespace gb::platform {

class Document {
public:
    struct Image {
        int width = 0;
        int height = 0;
    };

    // The active element is the body, or the link the user clicked last.
    bool activeElementIsLink() const { return !activeHref_.empty(); }
    const std::string& activeElementInnerHTML() const { return activeIsLink() ? activeLinkInner_ : body_; }
    // The clicked link's resolved address (a file URL); empty while the body is active.
    const std::string& activeElementValue() const { return activeHref_; }
    // Writing always replaces the body's content and makes the body active again.
    void setActiveElementInnerHTML(std::string markup);

    const std::string& bodyHTML() const { return body_; }
    const std::vector<Image>& images() const { return images_; }

    int scrollHeight() const { return scrollHeight_; }
    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }
    void scrollTo(int x, int y);

    const std::string& bgColor() const { return bgColor_; }
    void setBgColor(std::string colour);

    // A click of the user anywhere in the page; href and inner are the clicked link's, empty outside a link.
    // Returns whether the default action (following the link) may run.
    bool userClick(const std::string& href, const std::string& linkInnerHTML);
    std::function<bool()> onclick;

    // The platform's layout reports the page height; recorded without raising anything.
    void platformScrollHeight(int h) { scrollHeight_ = h; }
    void platformScrolled(int x, int y) {
        scrollX_ = x;
        scrollY_ = y;
    }

    // Markup or background changed: the view renders again.
    std::function<void()> onChanged;
    std::function<void()> onScroll;

    // A new document replaces this one's content; the event sinks stay bound.
    void load(std::string body, std::vector<Image> images);

private:
    bool activeIsLink() const { return activeElementIsLink(); }
    std::string body_;
    std::vector<Image> images_;
    std::string activeHref_;
    std::string activeLinkInner_;
    int scrollHeight_ = 0;
    int scrollX_ = 0, scrollY_ = 0;
    std::string bgColor_;
};

// The empty page a browser starts on and goes back to.
inline constexpr const char* aboutBlank = "about:blank";

class Browser : public Control {
public:
    static constexpr int readyStateLoading = 1;
    static constexpr int readyStateComplete = 4;

    Browser(std::string name, EventQueue& events, ImageProbe& images, Control* container = nullptr);

    // Its pictures are thumbnails: a view decodes them small, keeps them apart and after the picture on show.
    bool thumbnailPage = false;

    // Starts loading "about:blank" or a file path and returns at once. A newer navigation supersedes one still
    // loading: only the last raises DocumentComplete.
    void Navigate2(const std::string& address);
    int readyState() const { return readyState_; }
    const std::string& locationURL() const { return location_; }
    // Why the file of the last navigation cannot be shown, as its page says; empty for a picture or a blank page.
    const std::string& pageError() const { return pageError_; }
    // The same object for the control's whole life; it always holds the document shown now.
    Document& document() { return document_; }
    const Document& document() const { return document_; }

    std::function<void(const std::string& url)> onDocumentComplete;

    // The page shown for a file that cannot be shown: names the file and says why.
    static std::string errorPage(const std::string& path, const std::string& reason);

private:
    void complete(unsigned long generation, const std::string& address);
    void finish(const std::string& address);

    EventQueue& events_;
    ImageProbe& images_;
    Document document_;
    std::string location_;
    std::string pageError_;
    int readyState_ = readyStateComplete;
    unsigned long generation_ = 0;
};

// Escapes &, <, > and " for markup text and attribute values.
std::string escapeMarkup(const std::string& text);

}  // namespace gb::platform
