#pragma once
// The Printer Settings dialog: the printer the viewer prints on and the
// printers that print black and white reversed ("Inverted Bit Printers").
#include <QDialog>
#include <QStringList>

class QComboBox;
class QListWidget;

namespace hv::viewer {

class CViewerApp;

class CPrinterSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // installed: the printers of the print system; selected: the printer shown
  // chosen; systemDefault: the print system's default destination;
  // inverted: the stored inverted-bit list (names no longer installed stay
  // in it until the user takes them out).
  CPrinterSettingsDialog(const QStringList& installed, const QString& selected, const QString& systemDefault,
                         const QStringList& inverted, QWidget* parent = nullptr);

  QString chosenPrinter() const;
  QStringList invertedPrinters() const;

 private:
  QComboBox* printer_;
  QListWidget* inverted_;
};

// The printer preselected: the current printer when installed, else
// "Default Printer Name" when installed, else the system default, else the
// first printer.
QString preselectedPrinter(const QStringList& installed, const QString& current, const QString& defaultName,
                           const QString& systemDefault);

// The "Printer Settings..." command: without printers shows "There are no
// printers installed on the system.  "; on OK the chosen printer becomes
// "Default Printer Name" and the viewer's current printer, and the
// inverted-bit list is saved. True when saved.
bool runPrinterSettings(QWidget* owner, CViewerApp& app, const QStringList& installed,
                        const QString& systemDefault);

}  // namespace hv::viewer
