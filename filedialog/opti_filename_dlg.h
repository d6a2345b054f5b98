#pragma once
// Asks for the long name of an entry (the Rename command of the alias list):
// at most 64 characters, as a record holds.
#include <QDialog>

#include "filedialog/tarnwick_export.h"

class QLineEdit;

class TARNWICK_EXPORT COptiFileNameDlg : public QDialog {
  Q_OBJECT

 public:
  COptiFileNameDlg(const QString& currentName, QWidget* parent = nullptr);
  QString fileName() const;

 private:
  QLineEdit* edit_;
};
