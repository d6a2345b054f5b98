#pragma once
// CALS header records: the templates of both header forms, the raster
// records, record lookup by keyword and the constant keywords.
#include <cstdint>
#include <string>

#include "platform/status.h"

namespace hv::formats::cals {

// True when a header block begins "specversion: " (Form B), ignoring case.
bool isFormB(const char* block);

// Fills the first 2048 bytes of a 2560-byte block with spaces and writes the
// keywords of the block's form; Form A gets its "NONE" values.
void buildTemplate(char* block);

// Starts a 2560-byte header block for writing: a copy of `source` when one
// is given, otherwise spaces with the Form A template.
void startBlock(char* block, const char* source);

// Writes the raster records (rtype/dtype, rorient, rpelcnt, rdensty) of the
// block's form.
void setRasterRecords(char* block, int pelPath, int lineProgression, std::uint32_t width, std::uint32_t height,
                      std::uint32_t resolution, int rasterType);

// Copies the first of the 20 records whose start equals keyword (ignoring
// case) into out (128 bytes); otherwise out becomes the keyword directly
// followed by "NONE", padded with spaces, and the result is NotFound.
Status findRecord(const char* header, const char* keyword, char* out);

// The record at index i of a block, as text without trailing spaces.
std::string recordText(const char* block, int i);

// Decimal number at p: leading spaces and zeros allowed, up to the first
// non-digit; reading stops at `end`.
std::uint32_t readNumber(const char* p, const char* end);

const char* keywordSrcDocId();
const char* keywordSpecVersion();
const char* keywordDstDocId();
const char* keywordDocCls();
const char* keywordNotes();
const char* keywordTxtFilId();
const char* keywordFigId();
const char* keywordSrcGph();
const char* valueNone();

}  // namespace hv::formats::cals
