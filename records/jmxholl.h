#pragma once
// The JEDMICS record and the JMX.HOL file functions, exported with C linkage
// under fixed names (jmxholl_*). Directory arguments name the folder holding
// JMX.HOL (a missing trailing '/' is supplied); the file is found ignoring
// case and created as "JMX.HOL". Changes take the folder's write lock and
// replace the file through a temporary in the same folder.
#include "platform/export.h"
#include "platform/status.h"
#include "records/hollrec.h"

extern "C" {

// 1072 bytes; layout in records/jmxholl_layout.h.
struct JedmicsHollRec {
  char bytes[1072];
};

// Zeroes the record and puts the tag in bytes 0-9. 1, or 0 for no record.
[[nodiscard]] HV_EXPORT int jmxholl_InitRecord(JedmicsHollRec* rec);

// A malloc'd, NUL-terminated copy of field 1..56 (width + 1 bytes), to be
// released with jmxholl_DeleteField; null for a bad argument.
[[nodiscard]] HV_EXPORT char* jmxholl_GetField(const JedmicsHollRec* rec, int field);
HV_EXPORT void jmxholl_DeleteField(char** field);

// Zeroes the field and copies at most its width of text; fields 5 and 10
// store a one-character text as a blank and that character. 1, or 0.
[[nodiscard]] HV_EXPORT int jmxholl_SetField(JedmicsHollRec* rec, int field, const char* text);

// Splits a full path into FILEPATH (before the last separator, '/' or '\'),
// FILE NAME (without extension) and FILEEXT. 1, or 0 for missing arguments.
[[nodiscard]] HV_EXPORT int jmxholl_SetFileInfo(const char* fullPath, JedmicsHollRec* rec);

// "JMX.HOL" and "jmxrecid: ".
[[nodiscard]] HV_EXPORT const char* jmxholl_GetJmxHollFileBase(void);
[[nodiscard]] HV_EXPORT const char* jmxholl_GetJmxRecIdStr(void);

// Appends a copy of rec with its sequence number set ("%04ld", first four
// characters), creating JMX.HOL when missing. 1, or 0 on failure.
[[nodiscard]] HV_EXPORT int jmxholl_WriteJmxRec(const char* directory, const JedmicsHollRec* rec,
                                                long seqNum);

// Replaces record index. 1072, or -1.
[[nodiscard]] HV_EXPORT int jmxholl_ChangeHollRec(const JedmicsHollRec* rec, int index,
                                                  const char* directory);

// Index of the record whose sequence number is characters 60-63 of longName
// (record key - 1 is tried first), copied to out; -1 when none.
[[nodiscard]] HV_EXPORT int jmxholl_FindRecUsingLongName(const char* directory, const char* longName,
                                                         JedmicsHollRec* out);

// Index of the last record whose content (all but file name, extension,
// path, sequence number and history) equals match ignoring case; -1 if none.
[[nodiscard]] HV_EXPORT int jmxholl_FindRecUsingHoll(const char* directory, const JedmicsHollRec* match,
                                                     JedmicsHollRec* out);

// Removes the record found by long name; *index gets its index (-1 when none
// was removed). 1 when the file was rewritten; 0 otherwise, also when the
// last record went and JMX.HOL was removed with it.
[[nodiscard]] HV_EXPORT int jmxholl_FindAndDelRec(const char* directory, const char* longName, int* index);

// Removes the last record matching by content; its sequence number, or -1
// when nothing was removed (no match, or the file could not be rewritten).
[[nodiscard]] HV_EXPORT int jmxholl_FindAndDelRecBasedOnHoll(const char* directory,
                                                             const JedmicsHollRec* match);

// Conversions to and from the Hollerith record. 1, or 0 for a missing record.
[[nodiscard]] HV_EXPORT int jmxholl_JmxRecToHollRec(const JedmicsHollRec* jmx, RecordHollerith* holl);
[[nodiscard]] HV_EXPORT int jmxholl_HollRecToJmxRec(const RecordHollerith* holl, JedmicsHollRec* jmx);
[[nodiscard]] HV_EXPORT int jmxholl_HollRecFoldIntoJmxRec(const RecordHollerith* holl, JedmicsHollRec* jmx);

// Repository name of document number (>= 0): dirOut "NN/NN/" (at least 48
// bytes), nameOut "NN" (at least 24 bytes), extOut by file type (at least 4
// bytes). 1, or 0 for a negative number or a missing buffer.
[[nodiscard]] HV_EXPORT int jmxholl_GenerateDestName(char* dirOut, char* nameOut, char* extOut, long number,
                                                     const char* fileType);

// JEDMICS file type (at least 5 bytes) and format (at least 3 bytes) of a
// four-character file type. 1 when known, else 0 with nothing written.
[[nodiscard]] HV_EXPORT int jmxholl_MapGRXTypeToJMXType(const char* fileType, char* jmxType, char* jmxFormat);
}

namespace hv::records {

// Copies field 1..56 and a NUL into buf when size >= width + 1 (Ok);
// otherwise TooSmall (or BadArgument for a bad field or a missing pointer),
// with an empty string in buf when there is one.
HV_EXPORT Status copyJmxField(int field, const JedmicsHollRec* rec, char* buf, std::size_t size);

}  // namespace hv::records
