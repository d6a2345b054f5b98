#include <cstdio>

#include "formats/format_tables.h"
#include "formats/identify.h"
#include "tools/hvtool/commands.h"

namespace hv::tool {

int cmdIdentify(const Args& args) {
  if (wantsHelp(args) || args.empty()) {
    std::fputs(
        "usage: hvtool identify FILE...\n"
        "Prints one line per file: the path, then the document type, filter,\n"
        "compression and header offset found by identification, each with its name.\n"
        "Exits 1 when any file is not recognised.\n",
        wantsHelp(args) ? stdout : stderr);
    return wantsHelp(args) ? 0 : 2;
  }
  int status = 0;
  for (const std::string& path : args) {
    int documentType = 0, filter = 0, compression = 0;
    std::uint32_t offset = 0;
    if (!imfTypeDosFile(path.c_str(), &documentType, &filter, &compression, &offset)) {
      std::printf("%s: Unknown Type%s\n", path.c_str(),
                  hv::formats::isBigTiff(path.c_str()) ? " (BigTIFF files are not supported)" : "");
      status = 1;
      continue;
    }
    const char* docName = hv::formats::documentTypeName(documentType);
    std::printf("%s: document type %d (%s), filter %d (%s), compression %d (%s), header offset %u\n", path.c_str(),
                documentType, *docName ? docName : "not a document index", filter,
                hv::formats::filterName(filter), compression, hv::formats::identCompressionName(compression),
                offset);
  }
  return status;
}

}  // namespace hv::tool
