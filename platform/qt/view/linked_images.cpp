// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/linked_images.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QVarLengthArray>

#include <optional>
#include <vector>

namespace gb::qt {

namespace {

struct Tag {
    QStringView name;
    bool closing = false;
    QVarLengthArray<std::pair<QStringView, QString>, 4> attributes;  // values decoded
    bool is(const char* lower) const { return name.compare(QLatin1String(lower), Qt::CaseInsensitive) == 0; }
    std::optional<QString> value(const char* lower) const {
        for (const auto& [n, v] : attributes)
            if (n.compare(QLatin1String(lower), Qt::CaseInsensitive) == 0) return v;
        return std::nullopt;
    }
};

// Decodes the character references markup may hold; nothing for one this import does not know.
std::optional<QString> decodeReferences(QStringView text) {
    if (!text.contains(u'&')) return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        const qsizetype end = text.indexOf(u';', i);
        if (end < 0) return std::nullopt;
        const QStringView name = text.mid(i + 1, end - i - 1);
        if (name == u"amp") out += u'&';
        else if (name == u"lt") out += u'<';
        else if (name == u"gt") out += u'>';
        else if (name == u"quot") out += u'"';
        else if (name == u"apos") out += u'\'';
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.size() > 1 && (name[1] == u'x' || name[1] == u'X') ? name.mid(2).toUInt(&ok, 16)
                                                                                      : name.mid(1).toUInt(&ok, 10);
            if (!ok || code == 0 || code > 0x10FFFF) return std::nullopt;
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else {
            return std::nullopt;
        }
        i = end;
    }
    return out;
}

// Reads the tag starting at html[at] == '<'; `at` moves past its '>'.
std::optional<Tag> readTag(const QString& html, qsizetype& at) {
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    Tag tag;
    if (i < n && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && html[i].isLetter()) ++i;
    tag.name = QStringView(html).mid(nameStart, i - nameStart);
    if (tag.name.isEmpty()) return std::nullopt;
    while (true) {
        while (i < n && html[i].isSpace()) ++i;
        if (i >= n) return std::nullopt;
        if (html[i] == u'>') break;
        const qsizetype keyStart = i;
        while (i < n && (html[i].isLetterOrNumber() || html[i] == u'-')) ++i;
        if (i == keyStart) return std::nullopt;
        const QStringView key = QStringView(html).mid(keyStart, i - keyStart);
        while (i < n && html[i].isSpace()) ++i;
        QString value;
        if (i < n && html[i] == u'=') {
            ++i;
            while (i < n && html[i].isSpace()) ++i;
            if (i >= n) return std::nullopt;
            qsizetype valueStart = i, valueEnd = 0;
            if (html[i] == u'"' || html[i] == u'\'') {
                valueEnd = html.indexOf(html[i], i + 1);
                if (valueEnd < 0) return std::nullopt;
                ++valueStart;
                i = valueEnd + 1;
            } else {
                while (i < n && !html[i].isSpace() && html[i] != u'>') ++i;
                valueEnd = i;
            }
            const auto decoded = decodeReferences(QStringView(html).mid(valueStart, valueEnd - valueStart));
            if (!decoded) return std::nullopt;
            value = *decoded;
        }
        tag.attributes.emplace_back(key, std::move(value));
    }
    at = i + 1;
    return tag;
}

std::optional<int> pixels(const std::optional<QString>& value) {
    if (!value) return std::nullopt;
    bool ok = false;
    const int v = value->toInt(&ok);
    return ok && v >= 0 ? std::optional<int>(v) : std::nullopt;
}

using Piece = LinkedImages::Piece;

}  // namespace

std::optional<LinkedImages> readLinkedImages(const QString& html) {
    QString title;
    std::vector<Piece> pieces;
    pieces.reserve(static_cast<std::size_t>(html.size() / 32));  // a thumbnail page's entry takes about 100
    QString href;
    bool inTitle = false;
    for (qsizetype i = 0; i < html.size();) {
        if (html[i] != u'<') {
            const qsizetype next = html.indexOf(u'<', i);
            const qsizetype end = next < 0 ? html.size() : next;
            if (!inTitle) return std::nullopt;
            const auto text = decodeReferences(QStringView(html).mid(i, end - i));
            if (!text) return std::nullopt;
            title += *text;
            i = end;
            continue;
        }
        const auto tag = readTag(html, i);
        if (!tag) return std::nullopt;
        if (tag->is("html") || tag->is("head") || tag->is("body")) {
            if (!tag->attributes.empty()) return std::nullopt;
        } else if (tag->is("title")) {
            inTitle = !tag->closing;
        } else if (inTitle) {
            return std::nullopt;
        } else if (tag->is("br") && !tag->closing) {
            pieces.push_back({Piece::LineBreak, href, {}, 0, 0});
        } else if (tag->is("a")) {
            if (tag->closing) {
                href.clear();
                continue;
            }
            // A new link ends the one open, as a browser does.
            const auto target = tag->value("href");
            if (!target || target->isEmpty() || tag->attributes.size() != 1) return std::nullopt;
            href = *target;
        } else if (tag->is("img") && !tag->closing) {
            const auto source = tag->value("src");
            const auto width = pixels(tag->value("width"));
            const auto height = pixels(tag->value("height"));
            if (!source || !width || !height || tag->attributes.size() != 3) return std::nullopt;
            // A thumbnail links to its own picture: the one string serves both.
            pieces.push_back({Piece::Image, href, *source == href ? href : *source, *width, *height});
        } else {
            return std::nullopt;
        }
    }
    return LinkedImages{title.simplified(), std::move(pieces)};
}

bool importLinkedImages(QTextDocument& doc, const QString& html) {
    const auto page = readLinkedImages(html);
    if (!page) return false;
    fillLinkedImages(doc, *page, 0, page->pieces.size());
    return true;
}

void fillLinkedImages(QTextDocument& doc, const LinkedImages& page, std::size_t from, std::size_t to) {
    doc.clear();
    doc.setMetaInformation(QTextDocument::DocumentTitle, page.title);
    // Links look as Qt's importer makes them: the palette's link colour, underlined.
    QTextCharFormat link;
    link.setAnchor(true);
    link.setForeground(QGuiApplication::palette().link());
    link.setFontUnderline(true);
    const QString lineSeparator(QChar::LineSeparator);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (std::size_t i = from; i < to && i < page.pieces.size(); ++i) {
        const Piece& piece = page.pieces[i];
        QTextCharFormat format;
        if (!piece.href.isEmpty()) {
            format = link;
            format.setAnchorHref(piece.href);
        }
        if (piece.kind == Piece::LineBreak) {
            cursor.insertText(lineSeparator, format);
            continue;
        }
        QTextImageFormat image;
        image.setName(piece.source);
        image.merge(format);
        image.setWidth(piece.width);
        image.setHeight(piece.height);
        cursor.insertImage(image);
    }
    cursor.endEditBlock();
}

}  // namespace gb::qt
