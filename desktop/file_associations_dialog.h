#pragma once
// The Image File Associations dialog: which drawing file types the viewer
// opens by default for this user.
#include <QDialog>
#include <QStringList>
#include <memory>

class QCheckBox;
namespace Ui {
class FileAssociationsDialog;
}

namespace hv::desktop {

class FileAssociationsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FileAssociationsDialog(QWidget* parent = nullptr);
  ~FileAssociationsDialog() override;

  // The extensions of the checked boxes, in registration order.
  QStringList checkedExtensions() const;

 public slots:
  // OK: registers the checked types, then closes the dialog.
  void accept() override;

 private:
  void setAll(bool checked);
  std::unique_ptr<Ui::FileAssociationsDialog> ui_;
  QList<QCheckBox*> boxes_;
};

// Shows the dialog modally ("-fileext" on the viewer's command line).
void showImageFileAssociations(QWidget* parent);

}  // namespace hv::desktop
