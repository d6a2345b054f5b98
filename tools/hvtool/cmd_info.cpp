#include <cstdio>

#include "engine/image_handle.h"
#include "formats/file_manager.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {

int cmdInfo(const Args& args) {
  if (wantsHelp(args) || args.size() != 1) {
    std::fputs(
        "usage: hvtool info FILE\n"
        "Prints the fields of the file's information dialog, one 'label: value' line each.\n",
        wantsHelp(args) ? stdout : stderr);
    return wantsHelp(args) ? 0 : 2;
  }
  if (!checkReadable(args[0])) return 1;
  ImageHdl h = grxOpenImage(nullptr, args[0].c_str(), GRX_OPEN_ONE_TO_ONE, nullptr);
  if (h == nullptr) return 1;
  hv::formats::ImageInformation info = hv::formats::imageInformation(h->record);
  for (const auto& field : info.fields) std::printf("%s: %s\n", field.label.c_str(), field.value.c_str());
  grxCloseImage(h);
  return 0;
}

}  // namespace hv::tool
