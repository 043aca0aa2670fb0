// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/browser.h"

#include "platform/file_url.h"

namespace gb::platform {

std::string escapeMarkup(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// ---- Document

void Document::setActiveElementInnerHTML(std::string markup) {
    body_ = std::move(markup);
    activeHref_.clear();
    activeLinkInner_.clear();
    if (onChanged) onChanged();
}

void Document::scrollTo(int x, int y) {
    scrollX_ = x < 0 ? 0 : x;
    scrollY_ = y < 0 ? 0 : y;
    if (onScroll) onScroll();
}

void Document::setBgColor(std::string colour) {
    if (bgColor_ == colour) return;
    bgColor_ = std::move(colour);
    if (onChanged) onChanged();
}

bool Document::userClick(const std::string& href, const std::string& linkInnerHTML) {
    if (!href.empty()) {
        activeHref_ = href;
        activeLinkInner_ = linkInnerHTML;
    }
    return onclick ? onclick() : true;
}

void Document::load(std::string body, std::vector<Image> images) {
    body_ = std::move(body);
    images_ = std::move(images);
    activeHref_.clear();
    activeLinkInner_.clear();
    scrollHeight_ = 0;
    scrollX_ = scrollY_ = 0;
    bgColor_.clear();
    if (onChanged) onChanged();
}

// ---- Browser

Browser::Browser(std::string name, EventQueue& events, ImageProbe& images, Control* container)
    : Control(ControlKind::Browser, std::move(name), container), events_(events), images_(images) {}

void Browser::Navigate2(const std::string& address) {
    readyState_ = readyStateLoading;
    const unsigned long generation = ++generation_;
    events_.post([this, generation, address] { complete(generation, address); });
}

std::string Browser::errorPage(const std::string& path, const std::string& reason) {
    return "<p>Cannot show <b>" + escapeMarkup(path) + "</b></p><p>" + escapeMarkup(reason) + "</p>";
}

void Browser::complete(unsigned long generation, const std::string& address) {
    if (generation != generation_) return;
    if (address == aboutBlank) {
        location_ = address;  // before the page changes: its views name what they show by it
        pageError_.clear();
        document_.load("", {});
    } else {
        // The page completes once the picture's header is known; until then the previous page stays.
        images_.probeLater(address, [this, generation, address](const ImageInfo& info) {
            if (generation != generation_) return;
            location_ = address;
            pageError_.clear();
            if (info.ok) {
                document_.load("<IMG src=\"" + toFileUrl(address) + "\">", {{info.width, info.height}});
            } else {
                pageError_ = info.error;
                document_.load(errorPage(address, info.error), {});
            }
            finish(address);
        });
        return;
    }
    finish(address);
}

void Browser::finish(const std::string& address) {
    readyState_ = readyStateComplete;
    if (onDocumentComplete) onDocumentComplete(address);
}

}  // namespace gb::platform
