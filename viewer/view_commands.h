#pragma once
// The view commands and the print commands, plugged into the command table
// after the standard commands.

namespace hv::viewer {

class CommandTable;

void addViewCommands(CommandTable& table);
void addPrintCommands(CommandTable& table);

}  // namespace hv::viewer
