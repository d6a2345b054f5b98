#pragma once
// Print setup ("Change the printer and printing options"): the printer the
// viewer's prints go to, with the paper and orientation chosen for it.
#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPrinter;
class QWidget;

namespace hv::viewer {

class CommandTable;

// What the last accepted print setup chose.
struct PrintSetupChoice {
  QString printer;  // empty: print setup was never accepted
  QPageSize pageSize;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

// Points `printer` at the viewer's printer: `current` when set and
// installed, else `defaultName` (the "Default Printer Name" setting) when set
// and installed, else the print system's default destination. When that is
// the printer of the last print setup, its paper and orientation are taken
// too. False when no printer is installed.
bool prepareViewerPrinter(QPrinter& printer, const QString& current, const QString& defaultName,
                          const PrintSetupChoice& setup);

// After OK in print setup: the printer becomes the current printer when its
// name differs from `current` ignoring case, and its paper and orientation
// are kept for the next prints on it.
void acceptPrintSetup(const QPrinter& printer, QString& current, PrintSetupChoice& setup);

// Shows the print setup dialog with the viewer's printer preselected; Cancel
// changes nothing. False when there is no printer or the dialog was
// cancelled.
bool runPrintSetup(QWidget* parent);

void addPrintSetupCommands(CommandTable& table);

}  // namespace hv::viewer
