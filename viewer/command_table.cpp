#include "viewer/command_table.h"

#include "viewer/main_frame.h"

namespace hv::viewer {

CommandSpec command(const QString& id, const QString& text, const QString& commandText, QIcon icon) {
  CommandSpec s;
  s.id = id;
  s.text = text;
  const int cut = commandText.indexOf('\n');
  s.statusTip = cut >= 0 ? commandText.left(cut) : commandText;
  s.toolTip = cut >= 0 ? commandText.mid(cut + 1) : text;
  s.icon = std::move(icon);
  return s;
}

QAction* CommandTable::add(CommandSpec spec) {
  auto it = entries_.find(spec.id);
  QAction* action = it != entries_.end() ? it->second.action : new QAction(&frame_);
  action->setText(spec.text);
  action->setStatusTip(spec.statusTip);
  action->setToolTip(spec.toolTip.isEmpty() ? spec.text : spec.toolTip);
  action->setShortcut(spec.shortcut);
  action->setIcon(spec.icon);
  action->setObjectName(spec.id);
  action->setCheckable(bool(spec.checked));
  if (it == entries_.end()) {
    const QString id = spec.id;
    QObject::connect(action, &QAction::triggered, &frame_, [this, id] { run(id); });
  }
  const QString key = spec.id;
  entries_[key] = Entry{std::move(spec), action};
  return action;
}

QAction* CommandTable::action(const QString& id) const {
  auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : it->second.action;
}

const CommandSpec* CommandTable::spec(const QString& id) const {
  auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second.spec;
}

CommandSpec CommandTable::registeredOr(const CommandSpec& fallback) const {
  const CommandSpec* registered = spec(fallback.id);
  return registered ? *registered : fallback;
}

CommandSpec CommandTable::registeredOr(const QString& id) const {
  CommandSpec fresh;
  fresh.id = id;
  return registeredOr(fresh);
}

void CommandTable::refresh() {
  for (auto& [id, e] : entries_) {
    bool on = e.spec.run && (!e.spec.enabled || e.spec.enabled(frame_));
    e.action->setEnabled(on);
    if (e.spec.checked) e.action->setChecked(e.spec.checked(frame_));
  }
}

bool CommandTable::run(const QString& id) {
  auto it = entries_.find(id);
  if (it == entries_.end() || !it->second.spec.run) return false;
  const CommandSpec& s = it->second.spec;
  if (s.enabled && !s.enabled(frame_)) return false;
  auto handler = s.run;
  handler(frame_);
  frame_.refreshTools();
  return true;
}

const std::vector<QString>& toolBarOrder() {
  static const std::vector<QString> order = {
      "file.open",   "file.next",        "file.previous",  "file.save",          "file.reload", "",
      "file.print",  "",                 "view.fit",       "view.zoomIn",        "view.zoomOut", "view.invert",
      "view.rotateLeft", "view.rotateRight", "view.overview", "view.undo",       "",
      "batch.filedata", "jedmics.send",  "view.editMode",  "",                   "window.cascade",
      "window.tileHorizontal", "window.tileVertical", "",   "help.about",         "help.topics"};
  return order;
}

}  // namespace hv::viewer
