#pragma once
// "Add to FILEDATA file": one line per added image in FILEDATA.TXT in the
// viewer's program folder, "LONGNAME^PATH" and a carriage return and line feed.
// An installed viewer, whose program folder the user may not write, keeps
// the file in the user's data folder (~/.local/share/Halvor/Viewer/).
#include <QString>

namespace hv::viewer {

class CommandTable;

// folder (ending with '/') + "FILEDATA.TXT".
QString fileDataPath(const QString& folder);

// The line of an image: its long name (through the folder's DOCFILES.IDX;
// the file name itself when it has none), "^", the path, CR LF.
QByteArray fileDataLine(const QString& imagePath);

// Appends the image's line to folder's FILEDATA.TXT. The file is rewritten
// whole under a temporary name and renamed over the old one, so a failure
// (a full disk, a folder the user may not write) leaves the old file as it
// was. False on failure; the command itself stays silent about it.
bool appendToFileData(const QString& folder, const QString& imagePath);

// The program folder when the user may write it, else the user's data folder
// (created when missing); ends with '/'.
QString fileDataFolder();

void addFileDataCommand(CommandTable& table);

}  // namespace hv::viewer
