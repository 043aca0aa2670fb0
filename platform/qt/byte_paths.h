// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File names on Linux are bytes, not always valid UTF-8. Qt's own path handling replaces what it cannot
// decode, which would make such files unreachable; these helpers keep every byte. In a QString a byte that is
// not part of valid UTF-8 stands as the lone surrogate U+DC80..U+DCFF (as Python's "surrogateescape" does),
// so the way back to bytes is exact.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gb::qt {

QString toQString(const std::string& bytes);
std::string toStdString(const QString& text);
inline QByteArray nativePath(const QString& path) { return QByteArray::fromStdString(toStdString(path)); }

// Opens a regular file for reading by its exact bytes; nothing (and the reason in `error`) when it cannot or
// when something else stands at the path: a named pipe, a socket or a device is never read, so nothing waits on
// one (opening a FIFO for reading would wait for a writer).
std::unique_ptr<QFile> openForReading(const QString& path, QString* error = nullptr);

// What stands at `path` when it is neither a regular file nor a folder, in a user's words ("a named pipe
// (FIFO)"); empty when it is one of those, or when nothing is there.
std::string specialFileKind(const QByteArray& path);

// Why what stands at `path` cannot be reached, or a folder there entered, in a user's words: the system's reason
// for a folder that can be listed but not entered (mode 600), and for a path through a folder that cannot be
// entered, that folder named. Empty when it can, and when nothing is there.
std::string reachError(const QByteArray& path);

// The process's current folder, however long its path; nothing when the system cannot give it (errno says why).
std::optional<std::string> currentFolder();

bool pathExists(const QByteArray& path);
bool isRegularFile(const QByteArray& path);
bool isDirectoryPath(const QByteArray& path);

// Names of the regular, non-hidden files of a folder whose name matches "*.*" (every name) or "*.ext"
// without regard to ASCII case.
std::vector<std::string> listFolder(const QByteArray& folder, const std::string& pattern);

// The system's message for errno, in words.
QString systemError(int error);

}  // namespace gb::qt
