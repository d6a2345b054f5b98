#pragma once
// The Hollerith card record and the INDEX.HOL file functions, exported with
// C linkage under fixed names (hollrec_*) that the programs of the workflow
// call.
//
// Directory arguments name the folder holding INDEX.HOL; a missing trailing
// '/' is supplied. INDEX.HOL is found in it ignoring case and created as
// "INDEX.HOL". Every function that changes the file takes the folder's write
// lock and replaces the file through a temporary in the same folder, so the
// file on disk is always either the old or the new one.
#include "platform/export.h"
#include "platform/status.h"

extern "C" {

// 100 bytes of blank-padded ASCII fields; layout in records/hollrec_layout.h.
struct RecordHollerith {
  char bytes[100];
};

// Builds the 64-character long name of rec into out (at least 65 bytes) and
// normalises the record's one-character revisions in place. 1 when the name
// is 64 characters long; 0 when out is missing or a field holds a NUL byte.
[[nodiscard]] HV_EXPORT int hollrec_XlateRecToLongName(RecordHollerith* rec, char* out);

// Builds a record from a long name of at least 64 characters. 1 on success,
// 0 when a pointer is missing or the name is shorter than 64 characters.
[[nodiscard]] HV_EXPORT int hollrec_XlateLongNameToRec(const char* longName, RecordHollerith* rec);

// "INDEX.HOL".
[[nodiscard]] HV_EXPORT const char* hollrec_GetHollerithFileName(void);

// Index of the first record whose sequence number equals characters 60-63 of
// longName (ignoring case), copied to out; -1 when there is none.
[[nodiscard]] HV_EXPORT int hollrec_FindRecUsingLongName(const char* directory, const char* longName,
                                                         RecordHollerith* out);

// Highest sequence number plus 1; -1 when the file is missing or has no
// whole record. count (optional) receives the number of whole records.
[[nodiscard]] HV_EXPORT int hollrec_GetNextSeqNum(const char* directory, int* count);

// Appends rec after the last whole record and ends the file with CR LF.
// 2 on success, -1 on failure (the file must exist already).
[[nodiscard]] HV_EXPORT int hollrec_AppendHollRec(const RecordHollerith* rec, const char* directory);

// Replaces record index. 100 on success, -1 on failure or a bad index.
[[nodiscard]] HV_EXPORT int hollrec_ChangeHollRec(const RecordHollerith* rec, int index,
                                                  const char* directory);

// Keeps the first count records. 1 when the file now holds exactly count
// records; 0 when count is below 1 or not below the record count.
[[nodiscard]] HV_EXPORT int hollrec_TruncFile(int count, const char* directory);

// Removes the record found by longName. 1 when removed and the file
// rewritten; 0 otherwise, and 0 when the removed record was the last one,
// in which case INDEX.HOL is removed.
[[nodiscard]] HV_EXPORT int hollrec_FindAndDelRec(const char* directory, const char* longName);
}

namespace hv::records {

// Removes the record of the deleted image fileName (its long name) from the
// INDEX.HOL of directory; the index is removed with its last record. Ok when
// removed, IndexRemoved when the index went with it, NotFound when no record
// (or no usable name) matches, else why the index could not be changed.
HV_EXPORT Status dropRecordOfDeletedImage(const char* directory, const char* fileName);

}  // namespace hv::records
