#pragma once
// The desktop messages the viewer and its sibling programs exchange, their
// shared text blocks, and the helpers around them: flushing the record
// editor, the image command source's numbered blocks, and starting a program
// from an argument vector.
#include <QString>
#include <QStringList>
#include <optional>

namespace hv::desktop {

class WindowBus;

namespace msg {
inline constexpr const char* OpenInMainViewer = "HVMSG_HVViewer32_OpenInMainViewer";
inline constexpr const char* ChangeImage = "HVMSG_HVViewer32_ChangeImage";
inline constexpr const char* CardletChangeImage = "HVMSG_Cardlet32_ChangeImage";
inline constexpr const char* MarrickViewImage = "MarrickViewImageCmd";
inline constexpr const char* InspectaResyncHoll = "HVMMF_Inspecta_ResyncHoll";
inline constexpr const char* InspectaCommandComplete = "HVMSG_Inspecta_CommandComplete";
inline constexpr const char* InspectaCardwrightClosing = "HVMSG_Inspecta_CardwrightClosing";
inline constexpr const char* CardwrightChangeImage = "HVMSG_Cardwright_ChangeImage";
inline constexpr const char* CardwrightFlushHoll = "HVMSG_Cardwright_FlushHoll";
}  // namespace msg

namespace block {
inline constexpr const char* ViewerChangeImage = "HVMMF_HVViewer32_ChangeImage";
inline constexpr const char* CardwrightChangeImage = "HVMMF_Cardwright_ChangeImage";
inline constexpr const char* CardletChangeImage = "HVMMF_Cardlet32_ChangeImage";
}  // namespace block

// The title pattern of the JEDMICS record editor's window.
inline constexpr const char* kEditorTitle = "HV JEDMICS Editor";

// Every message name the viewer answers.
QStringList viewerMessageNames();

// Asks the editor to write its pending record edits (0, 0); its answer, or
// nothing when the call failed.
std::optional<qint64> FlushEditor(const WindowBus& bus, const QString& service);

// The name of the block an image command source hands over with
// MarrickViewImageCmd: the low 16 bits of the second parameter, in decimal,
// after "HVMMF_MarrickViewImageCmd_". Empty for 0.
QString commandBlockName(qint64 second);
// The zero-terminated path held in that block (at most its 4096 bytes);
// nothing when the block does not exist.
std::optional<QByteArray> ReadCommandBlock(const QString& name);

// Starts the program with its arguments, one word each, without a shell. The
// program keeps running on its own. 0 when started, else an errno number.
int LaunchProgram(const QString& program, const QStringList& arguments);

}  // namespace hv::desktop
