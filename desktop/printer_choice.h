#pragma once
// Which printer a print goes to, and whether it needs the picture inverted.
#include <QString>
#include <QStringList>

class QPrinter;

namespace hv::desktop {

// The printer the viewer prints on: `current` (the one chosen last in print
// setup or the printer settings) when it is set and installed, else
// `defaultName` (the "Default Printer Name" setting) when set and installed,
// else the print system's default destination. Empty when none exists.
QString choosePrinter(const QString& current, const QString& defaultName);

// Points the printer at the named destination (the print system's default
// when `name` is empty) with its default paper, portrait, at the
// destination's default resolution.
// False when no such printer is installed.
bool usePrinter(QPrinter& printer, const QString& name);

// True when the printer prints black and white reversed: its name is an entry
// of the "Inverted Bit Printers" list (exact, case-sensitive comparison).
bool isInvertedBitPrinter(const QString& printerName, const QStringList& invertedBitPrinters);

// The polarity a print takes: the view's own, turned over for an
// inverted-bit printer.
bool printsInverted(bool viewInverted, const QString& printerName, const QStringList& invertedBitPrinters);

}  // namespace hv::desktop
