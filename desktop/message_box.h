#pragma once
// The file manager's messages shown as modal message boxes.
#include <memory>

class QMessageBox;

namespace hv::desktop {

// The box a file manager report is shown in: the documented caption, the
// stop icon for fatal reports and the information icon otherwise.
std::unique_ptr<QMessageBox> makeReportBox(int severity, const char* caption, const char* text);

// Makes the file manager show its reports in message boxes.
void installMessageBoxSink();

}  // namespace hv::desktop
