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

// Opens a file for reading by its exact bytes; nothing (and the system's reason in `error`) when it cannot.
std::unique_ptr<QFile> openForReading(const QString& path, QString* error = nullptr);

bool pathExists(const QByteArray& path);
bool isRegularFile(const QByteArray& path);
bool isDirectoryPath(const QByteArray& path);

// Names of the regular, non-hidden files of a folder whose name matches "*.*" (every name) or "*.ext"
// without regard to ASCII case.
std::vector<std::string> listFolder(const QByteArray& folder, const std::string& pattern);

// The system's message for errno, in words.
QString systemError(int error);

}  // namespace gb::qt
