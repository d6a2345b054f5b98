#pragma once
// The one routine through which the viewer runs every file dialog: Open,
// Delete, Save As, the print selections and folder choices. The viewer fills
// a request and reads the result; it never builds the dialog itself.
#include <QString>
#include <QStringList>

#include "filedialog/tarnwick_export.h"

class QWidget;
class CImageFileDialog;

struct FileDialogRequest {
  QWidget* owner = nullptr;
  QString initialFolder;          // empty: the current working directory
  int kind = 1;                   // 1 open, 2 delete, 4 save as, 16 select folder, other: open
  bool multipleSelection = false; // open kind only; delete is always multiple
  QString filter;                 // "Desc|pattern|...||"; empty: "All Files (*.*) |*.*||" (kind 4 uses its fixed save filter)
  QString defaultName;            // initial file name
  QString title;                  // empty: the dialog type's own title
  QStringList exclusions;         // non-empty: exclusion switched on with this list
  int itemType = 0;               // sort order of indexed entries (the viewer's FileListSort)
  QString highlightName;          // file to select when the folder is shown
};

struct FileDialogResult {
  int code = 0;                   // QDialog::Accepted or QDialog::Rejected
  QString folder;                 // the folder the dialog ended in, ending with '/'
  QStringList realPaths;          // absolute real (short-name) paths of the chosen files;
                                  // save: one path, extension following the chosen filter;
                                  // select folder: empty (use folder)
  int filterIndex = 1;            // 1-based index of the chosen filter
};

// Runs the dialog modally. The dialog object stays alive for its accessors
// until the next request.
TARNWICK_EXPORT FileDialogResult RunFileDialogRequest(const FileDialogRequest& request);
TARNWICK_EXPORT CImageFileDialog* LastFileDialog();

// The filter of the Save As request and the filter used when a request has none.
inline constexpr char kSaveAsFilter[] =
    "TIFF CCITT GP4|*.tif|TIFF TIFF GP3|*.tif|TIFF CCITT GP3|*.tif|CALS Type 1|*.CAL|CALS Type 2|*.CAL|EDMICS VI|*.C4||";
inline constexpr char kDefaultFilter[] = "All Files (*.*) |*.*||";
