#pragma once
// Scratch folders with DOCFILES.IDX indexes, and helpers that drive the
// dialog while it runs modally.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

class CImageFileDialog;

namespace tarnwick_test {

struct Entry {
  std::string longName;
  std::string shortName;
  char access = 'W';
};

// The bytes of an index holding entries (records as the store makes them).
std::string indexBytes(const std::vector<Entry>& entries);

class Folder {
 public:
  Folder();
  QString path() const;  // ends with '/'
  QByteArray native() const;
  void write(const std::string& name, const std::string& bytes) const;
  void makeFolder(const std::string& name) const;
  // Writes the entries as the index, creates each file (access 'D': a
  // folder with an empty index) unless files is false.
  void index(const std::vector<Entry>& entries, bool files = true) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  QTemporaryDir dir_;
};

// The names the dialog's standard list shows in its folder, once the
// folder's listing has arrived.
QStringList standardNames(CImageFileDialog* dialog);
// The names of the alias list, row by row.
QStringList aliasNames(CImageFileDialog* dialog);
// Selects rows of the alias list by long name.
void selectAliases(CImageFileDialog* dialog, const QStringList& longNames);

// Runs action on the modal dialog as soon as it is shown.
void whenShown(std::function<void(CImageFileDialog*)> action);

// Collects the dialog's messages while alive.
class Messages {
 public:
  Messages();
  ~Messages();
  QStringList texts;
  QStringList captions;
};

}  // namespace tarnwick_test
