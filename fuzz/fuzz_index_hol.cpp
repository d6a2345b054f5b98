// Reads and rewrites an INDEX.HOL made of the fuzz input.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "records/edit_ops.h"
#include "records/hollrec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::putFile("INDEX.HOL", data, size);
  const char* dir = hv::fuzz::scratchDir().c_str();
  std::string name(64, '_');
  if (size >= 4) std::memcpy(name.data() + 60, data, 4);
  for (char& c : name)
    if (c == '\0') c = '0';
  RecordHollerith rec;
  int count = 0;
  (void)hollrec_GetNextSeqNum(dir, &count);
  int found = hollrec_FindRecUsingLongName(dir, name.c_str(), &rec);
  if (found >= 0) {
    char longName[65];
    (void)hollrec_XlateRecToLongName(&rec, longName);
    CHVEditOps::REC_EDIT_OPS ops;
    CHVEditOps::editops_HollRecToEditOp(&rec, &ops);
    CHVEditOps::editops_EditOpOccurred(&ops, CHVEditOps::EditOpMirror, 0);
    CHVEditOps::editops_EditOpToHollRec(&ops, &rec);
    if (hollrec_ChangeHollRec(&rec, found, dir) != 100) std::abort();
    if (count > 1 && hollrec_TruncFile(count - 1, dir) != 1) std::abort();
    (void)hollrec_FindAndDelRec(dir, name.c_str());
  } else if (size >= 100) {
    std::memcpy(rec.bytes, data, 100);
    (void)hollrec_AppendHollRec(&rec, dir);
  }
  return 0;
}
