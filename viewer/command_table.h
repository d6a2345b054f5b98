#pragma once
// Commands as data: one table of actions builds the menus and the tool bar,
// and enablement and check marks are asked of it after every change.
#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <map>
#include <vector>

namespace hv::viewer {

class CMainFrame;

struct CommandSpec {
  QString id;          // stable name, e.g. "file.open"
  QString text;        // menu text
  QString statusTip;   // the command text before the line break
  QString toolTip;     // the part after the line break
  QKeySequence shortcut;
  QIcon icon;
  std::function<void(CMainFrame&)> run;
  std::function<bool(CMainFrame&)> enabled;  // null: enabled while it has a handler
  std::function<bool(CMainFrame&)> checked;  // null: not checkable
};

// A command described by its menu text and its command text, "status
// tip\ntool tip"; a command text without a line break is the status tip
// alone, and the menu text is then the tool tip.
CommandSpec command(const QString& id, const QString& text, const QString& commandText, QIcon icon = {});

class CommandTable {
 public:
  explicit CommandTable(CMainFrame& frame) : frame_(frame) {}
  // Adds or replaces a command (later work plugs its handlers in here).
  QAction* add(CommandSpec spec);
  QAction* action(const QString& id) const;
  const CommandSpec* spec(const QString& id) const;
  // The command registered under fallback.id, else fallback itself: the
  // modules that bring a command's handlers plug them into its description.
  CommandSpec registeredOr(const CommandSpec& fallback) const;
  // The command registered under id, else an empty one of that id.
  CommandSpec registeredOr(const QString& id) const;
  // Asks every command for its enabled and checked state.
  void refresh();
  bool run(const QString& id);

 private:
  struct Entry {
    CommandSpec spec;
    QAction* action;
  };
  CMainFrame& frame_;
  std::map<QString, Entry> entries_;
};

// The tool bar, in its documented order ("" is a separator).
const std::vector<QString>& toolBarOrder();
// The standard commands of the viewer.
void addStandardCommands(CommandTable& table);

}  // namespace hv::viewer
