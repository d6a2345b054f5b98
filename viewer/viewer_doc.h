#pragma once
// One opened file: its image, its index records, its next/previous list,
// saving, and the unattended print-and-close cycle.
#include <sys/stat.h>

#include <QObject>
#include <QString>
#include <QStringList>

#include "engine/image_handle.h"
#include "records/edit_ops.h"
#include "records/hollrec.h"
#include "records/jmxholl.h"
#include "viewer/file_codes.h"
#include "viewer/neighbour_list.h"
#include "viewer/view_state.h"
#include "viewer/viewer_settings.h"

namespace hv::viewer {

class CViewerView;

// Hints of updateAllViews.
enum ViewHint { HintNone = 0, HintNewImage = 1, HintNothingToShow = 2 };

struct PrintCycle {
  int requested = 0;
  int state = 0;  // 0 idle, 1 to print, 2 printing, 3 to close, 4 done
  int printFinished = 0;
  int ticks = 0;
};

class CViewerDoc : public QObject {
  Q_OBJECT
 public:
  CViewerDoc();
  ~CViewerDoc() override;

  // The framework's open: false only when a raster image failed to load.
  bool OnOpenDocument(const QString& path);
  ImageHdl OpenImageFile(const QString& path, const ViewState& state, bool& loadFailed);
  void OpenNextOrPrevious(const QString& path);

  void OnNext();
  void OnPrevious();
  void OnReload();
  bool canNext() const { return !neighbours_.next().empty(); }
  bool canPrevious() const { return !neighbours_.previous().empty(); }
  bool canReload() const { return !directory_.isEmpty() && !fileName_.isEmpty(); }
  int StepToNeighbour();

  bool CheckExternalModification(bool ask);

  void OnSave();
  bool canSave() const { return image_ != nullptr && modified_; }
  // Save As with the image file dialog.
  void OnSaveAs();
  bool canSaveAs() const { return image_ != nullptr; }
  // Save As to a chosen path and dialog type number; true when written.
  bool SaveAsPath(const QString& path, int typeNumber);
  int SaveAsImage(ImageHdl image, const QString& path, const char* kind, const char* compression);

  void AddToNeighbourList(const QString& path);
  void RecomputeNeighboursAfterDelete();
  QString GetPrintStamp() const;
  void toggleStamp();

  // The save-changes prompt, queue clean-up and release; then the document is gone.
  void OnCloseDocument();
  // The save-changes prompt only; true when closing may go on.
  void SaveModifiedPrompt();

  // One tick of the print cycle; true while the document lives.
  void AdvancePrintCycle(bool primary);
  PrintCycle& printCycle() { return print_; }

  ImageHdl image() const { return image_; }
  // Lets go of the image (deletion of the file it shows).
  void ReleaseImage();
  bool isModified() const { return modified_; }
  void setModified(bool modified) { modified_ = modified; }
  QString pathName() const { return directory_ + fileName_; }
  const QString& directory() const { return directory_; }
  const QString& fileName() const { return fileName_; }
  const QString& title() const { return title_; }
  void setTitle(const QString& title);
  bool loadFailed() const { return loadFailed_; }
  const NeighbourList& neighbours() const { return neighbours_; }
  NeighbourList& neighbours() { return neighbours_; }
  int hollerithIndex() const { return hollIndex_; }
  int jedmicsIndex() const { return jmxIndex_; }
  const CHVEditOps::REC_EDIT_OPS& editOps() const { return editOps_; }
  CHVEditOps::REC_EDIT_OPS& editOps() { return editOps_; }
  const QString& jedmicsReference() const { return jmxReference_; }
  // Looks the JEDMICS record up again (another program changed it).
  void ResyncJedmicsRecord();
  const FileCodes& codes() const { return codes_; }

  void addView(CViewerView* view);
  void removeView(CViewerView* view);
  CViewerView* firstView() const { return views_.empty() ? nullptr : views_.front(); }
  const std::vector<CViewerView*>& views() const { return views_; }
  void UpdateAllViews(int hint);

 signals:
  void titleChanged(const QString& title);
  void closeRequested();
  void toolStateChanged();

 private:
  void resetContent();
  void releaseImage();
  void findRecords(const QString& path);
  void nonImageFile(const QString& path);
  bool commitSavedImage();
  void showStatus(const QString& text);
  void clearStatus();
  NeighbourPolicy neighbourPolicy() const;

  NeighbourList neighbours_;
  ImageHdl image_ = nullptr;
  int hollIndex_ = -1, jmxIndex_ = -1;
  QString hollFilePath_, jmxFilePath_;
  RecordHollerith hollRec_{};
  JedmicsHollRec jmxRec_{};
  QString statusText_;
  QString directory_, fileName_, title_;
  struct stat fileStatus_ {};
  EmbeddedSheetOptions embedded_;
  CHVEditOps::REC_EDIT_OPS editOps_{};
  bool loadFailed_ = false;
  bool sentToAcrobat_ = false;
  bool stampOnPrint_ = true;
  bool modified_ = false;
  PrintCycle print_;
  FileCodes codes_;
  QString jmxReference_;
  std::vector<CViewerView*> views_;
};

}  // namespace hv::viewer
