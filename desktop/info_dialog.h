#pragma once
// A format's information dialog: the labelled values its information
// procedure computed, and an OK button.
#include <QDialog>

#include "formats/file_manager.h"

namespace hv::desktop {

class ImageInfoDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ImageInfoDialog(const hv::formats::ImageInformation& info, QWidget* parent = nullptr);
};

// Makes imfImageInfo show the dialog modally over the given owner window.
void installInfoDialogPresenter();

}  // namespace hv::desktop
