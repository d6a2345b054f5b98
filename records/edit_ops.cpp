#include "records/edit_ops.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "records/hollrec_layout.h"
#include "records/jmxholl_layout.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void readHistory(const char* h, CHVEditOps::REC_EDIT_OPS* ops) {
  *ops = CHVEditOps::REC_EDIT_OPS{};
  ops->bipStamped = h[0] == 'B';
  ops->blipsBurned = isDigit(h[1]) ? h[1] - '0' : 0;
  ops->rotated = h[2] == 'R';
  ops->sheetsExtracted = isDigit(h[3]) && isDigit(h[4]) ? (h[3] - '0') * 10 + (h[4] - '0') : 0;
  ops->mirrored = h[5] == 'M';
  ops->erasures = isDigit(h[6]) && isDigit(h[7]) ? (h[6] - '0') * 10 + (h[7] - '0') : 0;
  ops->hollEdited = h[8] == 'H';
  ops->cropped = h[9] == 'Z';
}

std::int32_t limited(std::int32_t& counter) {
  counter = std::clamp<std::int32_t>(counter, 0, 99);
  return counter;
}

void twoDigits(char* out, std::int32_t v) {
  out[0] = static_cast<char>('0' + v / 10);
  out[1] = static_cast<char>('0' + v % 10);
}

// Writes the ten history bytes; companion is the byte blanked with the BIP flag.
void writeHistory(CHVEditOps::REC_EDIT_OPS* ops, char* h, char* companion) {
  h[0] = ops->bipStamped ? 'B' : ' ';
  if (ops->bipStamped) *companion = ' ';
  // One digit only: counts above 9 keep their first digit (15 is written as 1).
  const std::int32_t blips = ops->blipsBurned == 0 ? 0 : limited(ops->blipsBurned);
  h[1] = static_cast<char>('0' + (blips >= 10 ? blips / 10 : blips));
  h[2] = ops->rotated ? 'R' : ' ';
  twoDigits(h + 3, limited(ops->sheetsExtracted));
  h[5] = ops->mirrored ? 'M' : ' ';
  twoDigits(h + 6, limited(ops->erasures));
  h[8] = ops->hollEdited ? 'H' : ' ';
  h[9] = ops->cropped ? 'Z' : ' ';
}

void addSaturating(std::int32_t& counter, int count) {
  const long long sum = static_cast<long long>(counter) + count;
  counter = static_cast<std::int32_t>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace

void CHVEditOps::editops_HollRecToEditOp(const RecordHollerith* rec, REC_EDIT_OPS* ops) {
  if (rec == nullptr || ops == nullptr) return;
  readHistory(rec->bytes + hv::records::holl::kEditHistory.offset, ops);
}

void CHVEditOps::editops_JmxRecToEditOp(const JedmicsHollRec* rec, REC_EDIT_OPS* ops) {
  if (rec == nullptr || ops == nullptr) return;
  readHistory(rec->bytes + hv::records::jmx::kEditHistory, ops);
}

void CHVEditOps::editops_EditOpToHollRec(REC_EDIT_OPS* ops, RecordHollerith* rec) {
  if (rec == nullptr || ops == nullptr) return;
  writeHistory(ops, rec->bytes + hv::records::holl::kEditHistory.offset,
               rec->bytes + hv::records::holl::kBipCompanion);
}

void CHVEditOps::editops_EditOpToJmxRec(REC_EDIT_OPS* ops, JedmicsHollRec* rec) {
  if (rec == nullptr || ops == nullptr) return;
  writeHistory(ops, rec->bytes + hv::records::jmx::kEditHistory, rec->bytes + hv::records::jmx::kBipCompanion);
}

void CHVEditOps::editops_EditOpOccurred(REC_EDIT_OPS* ops, int op, int count) {
  if (ops == nullptr) return;
  switch (op) {
    case EditOpBipBlip: ops->bipStamped = 1; break;
    case EditOpBlipBurnIn: addSaturating(ops->blipsBurned, 1); break;
    case EditOpRotate: ops->rotated = 1; break;
    case EditOpExtractSheets: addSaturating(ops->sheetsExtracted, count); break;
    case EditOpMirror: ops->mirrored = 1; break;
    case EditOpEraseInside:
    case EditOpEraseOutside: addSaturating(ops->erasures, 1); break;
    case EditOpHollEdit: ops->hollEdited = 1; break;
    case EditOpCrop: ops->cropped = 1; break;
    default: break;
  }
}
