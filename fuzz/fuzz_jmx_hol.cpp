// Reads and rewrites a JMX.HOL made of the fuzz input.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_scratch.h"
#include "records/edit_ops.h"
#include "records/jmxholl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::fuzz::putFile("JMX.HOL", data, size);
  const char* dir = hv::fuzz::scratchDir().c_str();
  std::string name(64, '_');
  if (size >= 4) std::memcpy(name.data() + 60, data + size - 4, 4);
  for (char& c : name)
    if (c == '\0') c = '1';
  JedmicsHollRec rec, other;
  int found = jmxholl_FindRecUsingLongName(dir, name.c_str(), &rec);
  if (found < 0) {
    if (size < sizeof rec.bytes) return 0;
    std::memcpy(rec.bytes, data, sizeof rec.bytes);
  }
  for (int field = 0; field <= 57; ++field) {
    char* text = jmxholl_GetField(&rec, field);
    jmxholl_DeleteField(&text);
  }
  RecordHollerith holl;
  (void)jmxholl_JmxRecToHollRec(&rec, &holl);
  other = rec;
  (void)jmxholl_HollRecFoldIntoJmxRec(&holl, &other);
  (void)jmxholl_HollRecToJmxRec(&holl, &other);
  CHVEditOps::REC_EDIT_OPS ops;
  CHVEditOps::editops_JmxRecToEditOp(&rec, &ops);
  CHVEditOps::editops_EditOpToJmxRec(&ops, &rec);
  if (jmxholl_FindRecUsingHoll(dir, &rec, &other) >= 0) (void)jmxholl_FindAndDelRecBasedOnHoll(dir, &rec);
  if (found >= 0) {
    (void)jmxholl_ChangeHollRec(&rec, found, dir);
    int index = 0;
    (void)jmxholl_FindAndDelRec(dir, name.c_str(), &index);
  }
  return 0;
}
