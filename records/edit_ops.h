#pragma once
// The edit history of an image: eight counters held while the image is open,
// and the ten history bytes of its Hollerith record (bytes 82-91) and
// JEDMICS record (bytes 1038-1047) they are read from and written to.
#include <cstdint>

#include "platform/export.h"
#include "records/hollrec.h"
#include "records/jmxholl.h"

class HV_EXPORT CHVEditOps {
 public:
  struct REC_EDIT_OPS {
    std::int32_t bipStamped;       // 0: a "best image possible" BLIP was stamped (flag)
    std::int32_t blipsBurned;      // 1: BLIPs burned into the image
    std::int32_t rotated;          // 2: orientation changed (flag)
    std::int32_t sheetsExtracted;  // 3: embedded sheets extracted
    std::int32_t mirrored;         // 4: mirrored (flag)
    std::int32_t erasures;         // 5: region erasures
    std::int32_t hollEdited;       // 6: Hollerith data edited (flag)
    std::int32_t cropped;          // 7: cropped to a selection (flag)
  };

  enum EditTrackOps {
    EditOpBipBlip = 1,
    EditOpBlipBurnIn = 2,
    EditOpRotate = 3,
    EditOpExtractSheets = 4,
    EditOpMirror = 5,
    EditOpEraseInside = 6,
    EditOpEraseOutside = 7,
    EditOpHollEdit = 8,
    EditOpCrop = 9,
  };

  // Fill the counters from a record's history bytes (nothing for a null pointer).
  static void editops_HollRecToEditOp(const RecordHollerith* rec, REC_EDIT_OPS* ops);
  static void editops_JmxRecToEditOp(const JedmicsHollRec* rec, REC_EDIT_OPS* ops);
  // Write the history bytes (and blank byte 97 / 1050 when the BIP flag is
  // set); counts are limited to 0..99 and the limit is stored back.
  static void editops_EditOpToHollRec(REC_EDIT_OPS* ops, RecordHollerith* rec);
  static void editops_EditOpToJmxRec(REC_EDIT_OPS* ops, JedmicsHollRec* rec);
  // Counts one operation; count is used by EditOpExtractSheets only.
  // Counters saturate instead of overflowing.
  static void editops_EditOpOccurred(REC_EDIT_OPS* ops, int op, int count);
};

static_assert(sizeof(CHVEditOps::REC_EDIT_OPS) == 32, "eight signed 32-bit counters");
