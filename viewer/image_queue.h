#pragma once
// The image queue folder: hand-over files (*.log) from a second start, and
// IMAGES/ for copies rescued from cache and temporary folders. The folder is
// the user's own: created owner-only, and refused when another user owns it
// or others may write to it, so no other local user can make the viewer open
// or delete files through it.
#include <QString>
#include <QStringList>

namespace hv::viewer {

// Creates the folder (owner-only) when missing and checks it. Empty when it
// is safe to use, otherwise why not.
QString secureQueueFolder(const QString& folder);

// Writes one hand-over line (the printable characters of `line`, then CR LF)
// under a temporary name in the folder and renames it to its .LOG name, so a
// reader never sees half a line. Returns the .LOG path, empty on failure.
QString writeHandOffFile(const QString& folder, const QString& line);

// Reads the first line (at most 512 bytes) of every *.log file of the folder
// and deletes the file; the non-empty lines in enumeration order.
QStringList takeHandOffLines(const QString& folder);

// The first line of a file (at most `limit` bytes, cut at CR or LF).
QString readFirstLine(const QString& path, int limit);

}  // namespace hv::viewer
