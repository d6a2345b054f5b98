#pragma once
// The index of the folder the dialog shows (DOCFILES.IDX) as the dialog
// keeps it: every record of the file, in file order, each with the status
// texts of the file or alias folder it names.
//
// The 80 bytes of a record are those of docindex::DocFileRecord; reading and
// every write go through the docindex store (its cache, its folder lock and
// its same-folder rewrite), so this class never lays out a record itself.
//
// Long names are bytes. They are shown decoded as UTF-8 when they are valid
// UTF-8, else as Latin-1 (every byte one character), and each list entry
// keeps its record so that what is returned or matched is the stored bytes.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

#include "docindex/docfiles_record.h"
#include "filedialog/tarnwick_export.h"

class QIODevice;

// Long name bytes as shown; the inverse for a name the user types.
TARNWICK_EXPORT QString DecodeLongName(const QByteArray& bytes);
// The UTF-8 bytes of name cut to the 64 bytes of the field, never inside a
// character.
TARNWICK_EXPORT QByteArray EncodeLongName(const QString& name);

class TARNWICK_EXPORT CConvertFileRec {
 public:
  CConvertFileRec() = default;
  explicit CConvertFileRec(const hv::docindex::DocFileRecord& record);
  // A record this library creates: both names, the access letter, and the
  // two further bytes 0.
  CConvertFileRec(const QByteArray& longName, const QByteArray& shortName, char access);

  // Reads (storing false) or writes (storing true) exactly the 80 bytes of
  // the record. A read that does not get all 80 bytes fails and leaves the
  // record unchanged.
  bool Serialize(QIODevice& device, bool storing);

  const hv::docindex::DocFileRecord& record() const { return record_; }
  QByteArray longNameBytes() const;
  QByteArray shortNameBytes() const;
  QString longName() const { return DecodeLongName(longNameBytes()); }
  QString shortName() const;
  char access() const { return record_.access(); }
  bool isFolder() const { return record_.access() == 'D'; }
  // Both names single path components: the entry is listed and used.
  bool sound() const { return record_.usable(); }

  // Reads the status of folder + short name into the display texts: a
  // folder is "File Folder" without size, a file "%9.0fKB" and "XYZ file";
  // all three are empty when there is no status.
  void ReadStatus(const QString& folder);
  void ReadStatusIn(const QByteArray& nativeFolder);  // encoded, ending with '/'
  void SetFolderStatusNow();
  const QString& modifiedText() const;
  const QString& typeText() const { return typeText_; }
  const QString& sizeText() const { return sizeText_; }

 private:
  hv::docindex::DocFileRecord record_;
  QString typeText_;
  QString sizeText_;
  qint64 modified_ = -1;               // seconds since the epoch; -1: no status
  mutable QString modifiedText_;       // formatted when first shown
  mutable bool modifiedFormatted_ = false;
};

class TARNWICK_EXPORT CConvertFile {
 public:
  // Reads folder's index (found ignoring case) and the status of every
  // sound entry. False, with an empty list, when the folder has no readable
  // index.
  bool Open(const QString& folder);
  void Close();

  bool exists() const { return exists_; }
  const QString& folder() const { return folder_; }  // ends with '/'
  const QString& path() const { return path_; }
  QList<CConvertFileRec>& records() { return records_; }
  const QList<CConvertFileRec>& records() const { return records_; }

  // 1 + the largest number in the four characters after "OPTI" of the
  // short names that begin with "OPTI" (ignoring case); 0 for an empty list,
  // 1 when no short name begins with "OPTI".
  int GetNextOptiNumber() const;

  // The first sound record with that long name (as shown) or short name,
  // ignoring case; -1 when there is none.
  int findLongName(const QString& longName) const;
  int findShortName(const QString& shortName) const;

  // Writes the whole list as the folder's index: the store's locked,
  // same-folder rewrite; the index stays read-only. An empty list leaves an
  // empty index (the folder keeps its alias list).
  bool Write();
  // Appends one record under the folder's lock to the index as it is on
  // disk now (records other programs added meanwhile are kept) and to the
  // list.
  bool Append(const CConvertFileRec& record);
  // Runs edit on the records as they are on disk, under the folder's lock,
  // stores the result and reloads the list. edit returns false to change
  // nothing.
  bool Edit(const std::function<bool(std::vector<hv::docindex::DocFileRecord>&)>& edit);

 private:
  bool storeLocked(std::vector<hv::docindex::DocFileRecord> records);
  void reloadAfterWrite();

  bool exists_ = false;
  QString folder_;
  QString path_;
  QList<CConvertFileRec> records_;
};
