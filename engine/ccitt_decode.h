#pragma once
// Resumable decoder for the codings of bilevel raster data: CCITT Group 3
// (ITU-T T.4, 1-D and 2-D), Group 4 (ITU-T T.6), Group 4 lines framed by EOLs
// ("wrap"), PackBits and uncompressed rows.
//
// The decoder is fed one code buffer at a time through a callback, keeps its
// whole position in a caller-owned DecoderState between calls, and delivers the
// lines of a clipped region either as transition lists or as packed bitmap
// rows. It allocates nothing; every buffer comes from the caller.
#include <cstdint>

#include "engine/bit_reader.h"
#include "formats/code_buffer.h"
#include "platform/export.h"
#include "platform/status.h"

namespace hv::engine {

// Results of decodeLines. 1 is returned only once before a stall is reported
// (seven zero bits where a mode code is expected): call again at once.
enum DecodeResult : int {
  kBandFull = 0,     // output band or list buffer full: empty it (decoderSetOutput) and call again
  kBufferUsed = 1,   // call again (see above)
  kCodingError = 2,  // invalid code, or a line longer than the width; final for this strip
  kAllDone = 3,      // the region's last line (or the image's) has been delivered
  kNoState = 5,      // decoder not initialised, or initialised with invalid parameters
  kUnsupported = 6,  // compression code not handled
  kCodeChanged = 8,  // compression changed between buffers, or a new strip begins
  kNoMoreData = 9,   // the file manager has no more data
  kReadError = 10,   // the file manager could not read
};

HV_EXPORT const char* decodeResultName(int result);

constexpr unsigned kCheckpointExtraWords = 5;

// Handed to the line-info callback every `checkpointInterval` lines.
struct CheckpointInfo {
  std::uint32_t linesDecoded;  // lines decoded so far (a positive multiple of the interval)
  // Bit position of the next line's first code (before any fill/EOL of that
  // line) within the current buffer. Negative when that bit lies in the
  // previous buffer of the same strip (position relative to this buffer's
  // first byte, so strip position = (strip bytes before this buffer) × 8 + bitPosition).
  std::int32_t bitPosition;
  std::uint32_t bufferBytes;  // bytes in the current buffer
  const std::uint16_t* line;  // the line just decoded, full width, ending with the width
  std::uint32_t lineBytes;    // its size in bytes for 2-D codings (the next reference line), 0 for 1-D
  std::uint32_t extra[kCheckpointExtraWords];  // decoder words to hand back on resume
};

// Restarting at a checkpoint (or at the beginning of a strip).
struct ResumePoint {
  formats::CodeBuffer buffer;              // freshly filled; its first byte holds the resume bit
  formats::CodeInfo info;                  // as filled with that buffer
  std::uint32_t bitOffset = 0;             // 0..7 within the first byte
  std::uint32_t linesDecoded = 0;          // lines before the resume point
  const std::uint16_t* refLine = nullptr;  // saved line (2-D codings); null = imaginary white line
  std::uint32_t refLineBytes = 0;
  std::uint32_t extra[kCheckpointExtraWords] = {};  // as saved; all zero when unknown
};

struct DecoderSource {
  // Fills the buffer descriptor and code info; returns a get-code-buffer
  // Status (formats/code_buffer.h).
  Status (*getCodeBuf)(void* ctx, formats::CodeBuffer* buffer, formats::CodeInfo* info) = nullptr;
  void (*lineInfo)(void* ctx, const CheckpointInfo& info) = nullptr;  // may be null
  void* ctx = nullptr;
};

enum class OutputForm : std::uint8_t { kBitmap = 0, kTransitions = 1 };

// Where lines go. Bitmap rows: 1 = black in the coded sense (a CCITT black run,
// a 1 bit in raw data); the decoder never applies photometric inversion.
struct DecoderOutput {
  OutputForm form = OutputForm::kTransitions;
  std::uint8_t* band = nullptr;  // bitmap: bandRows rows of rowBytes
  std::uint32_t rowBytes = 0;
  std::uint32_t bandRows = 0;
  std::uint32_t firstBitCol = 0;   // band bit column of the region's first column
  std::uint16_t* list = nullptr;   // transition lists, appended line after line
  std::uint32_t listCapacity = 0;  // entries; at least decoderMinListEntries(region width)
};

struct DecoderParams {
  int compression = formats::kCompG4;  // any RecordCompression (formats/compression_codes.h)
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  // Region of the image to deliver; end values exclusive and clipped to the image.
  std::uint32_t firstCol = 0, firstLine = 0, endCol = 0xFFFF, endLine = 0xFFFF;
  DecoderOutput output;
  // Line thinning for a reduction of reduceFrom source lines to reduceTo
  // output lines (only when reduceFrom > reduceTo).
  bool thinLines = false;
  std::uint8_t reduceFrom = 1, reduceTo = 1;
  std::uint32_t checkpointInterval = 0;  // 0 = no checkpoints
  DecoderSource source;
  std::uint8_t* codeBuffer = nullptr;  // storage handed to get-code-buffer
  std::uint32_t codeBufferCapacity = 0;
  std::uint16_t* work = nullptr;  // decoderWorkEntries(width) entries
  std::uint32_t workEntries = 0;
};

// Work storage: two line buffers of width + 4 entries.
constexpr std::uint32_t decoderWorkEntries(std::uint32_t width) { return 2 * (width + 4); }
// A transition-list buffer must hold at least this many entries; after each
// line the decoder reports band full unless another whole line still fits.
constexpr std::uint32_t decoderMinListEntries(std::uint32_t regionWidth) { return regionWidth + 2; }

// Coding states, kept between calls (the state of the line in progress).
//
// Normal flow, per line, by record code (formats/compression_codes.h: 0
// kCompG3OneD, 1 kCompModHuffman, 2 kCompG3TwoD, 3 kCompG4, 4 kCompPackBits,
// 6 kCompUncompressed, 7 kCompG4Wrap, 8 kCompTiled):
//   kLineEnd ─(codes 0, 2, 7; 3/8 at a zero run)→ kSkipEol ─→ kLineEnd (again, for repeated EOLs)
//   kLineEnd ─(code 2 after an EOL)→ kExpectTag ─→ kInLine1D | kExpectMode
//   kLineEnd ─(codes 0, 1)→ kInLine1D ─(run reaches the width)→ line done → kLineEnd
//   kLineEnd ─(codes 3, 7, 8)→ kExpectMode ⇄ kHorizRun1 → kHorizRun2 → kExpectMode … → line done
//   kLineEnd ─(codes 4, 6)→ kRawRow ─(row complete)→ line done
// A buffer may run out in any state: the state, the bit reader and the line
// so far are kept and the next buffer continues exactly there.
// Error exits: an invalid code, a column beyond the width or a mode code that
// cannot be decoded → kCodingError (sticky until decoderNewStrip). Seven zero
// bits where a mode code is expected inside a line: the call returns
// kBufferUsed once; met again at the position where a call began (no bit
// consumed since), it is a stall → kCodingError.
enum CodingState : std::uint8_t {
  kInLine1D = 0,    // inside a 1-D coded line
  kExpectMode = 1,  // 2-D: expecting a mode code
  kHorizRun1 = 2,   // 2-D horizontal mode, first run
  kHorizRun2 = 3,   // 2-D horizontal mode, second run
  kLineEnd = 4,     // a line has ended (or decoding starts): end-of-line work
  kExpectTag = 5,   // kCompG3TwoD: the tag bit after an EOL
  kSkipEol = 6,     // skipping fill zeros through the EOL's final 1
  kRawRow = 7,      // kCompPackBits and kCompUncompressed: collecting a packed row
};

struct DecoderState {
  // coding
  int compression = 0;  // as initialised
  int activeCode = 0;   // coding in use (kCompTiled: as announced by the buffers)
  std::uint8_t codingState = kLineEnd;
  int lastResult = kNoState;
  int stickyResult = -1;  // a final result repeated until a new strip
  bool ready = false;
  // input
  DecoderSource source;
  std::uint8_t* codeStorage = nullptr;
  std::uint32_t codeCapacity = 0;
  formats::CodeInfo info;
  BitReader br;                 // bit position = br.taken × 8 − br.bits
  std::int64_t streamBase = 0;  // bits of the stream before the current buffer
  std::int64_t callStart = 0;   // stream bit position where the current call began
  bool stripPending = false;    // a new strip's first buffer is loaded, not yet started
  bool sawEol = false;          // an EOL was skipped before the current line
  // checkpoints
  std::uint32_t interval = 0;
  // raw input
  std::uint32_t rawCol = 0;  // bytes of the current packed row collected
  // progress
  std::uint32_t lines = 0;  // lines decoded so far
  // image
  std::uint32_t width = 0, height = 0, rowBytes = 0;
  // region (end values exclusive, clipped to the image)
  std::uint32_t firstCol = 0, firstLine = 0, endCol = 0, endLine = 0, regionWidth = 0;
  // output
  DecoderOutput out;
  std::uint32_t listPos = 0;    // entries written to out.list
  std::uint32_t outRow = 0;     // rows written to out.band
  std::uint32_t delivered = 0;  // lines delivered since the output was last set
  bool firstOfCall = false;
  // lines
  std::uint16_t* cur = nullptr;  // line being decoded (width + 4 entries)
  std::uint16_t* ref = nullptr;  // reference line, padded with two extra width entries
  std::uint32_t curCount = 0;    // entries of cur so far
  std::int32_t a0 = -1;          // 2-D: current column (−1 before the first element)
  std::uint32_t refIdx = 0;      // 2-D: index of the b1 candidate; its parity is the colour
  std::uint32_t runCol = 0;      // column reached by the run being decoded
  // PackBits
  std::uint32_t pbLiteral = 0;  // literal bytes still to copy
  std::uint32_t pbRepeat = 0;   // repetitions still to write
  bool pbHaveByte = false;      // the repeated byte has been read
  std::uint8_t pbByte = 0;
  // reduction
  bool thin = false;
  std::uint8_t patternPos = 0;
  std::uint16_t groupLeft = 0;
  std::uint16_t pattern[32] = {};
  std::uint8_t reduceTo = 1, reduceFrom = 1;
};

// Prepares a decoding. Unsupported for a compression the decoder does not
// handle, BadArgument for another invalid parameter; the state is then
// unusable, so that decodeLines answers kNoState.
HV_EXPORT Status decoderInit(DecoderState& state, const DecoderParams& params);
// Decodes until the output is full, the region is done, an error occurs or the
// input runs out. Read the output after kBandFull and after kAllDone.
HV_EXPORT DecodeResult decodeLines(DecoderState& state);
// Restarts the decoder at the beginning of a strip: after kCodeChanged caused
// by a new strip, the buffer that began it is used from its first bit;
// otherwise the next buffer fetched is taken as the strip's first.
HV_EXPORT void decoderNewStrip(DecoderState& state);
// Moves the line count forward to `line` (at most the height) without
// delivering anything: the rows a strip that ended early left undecoded.
HV_EXPORT void decoderSkipTo(DecoderState& state, std::uint32_t line);
// Restarts at a checkpoint: NoContext when the decoder was not prepared,
// Unsupported for a coding it does not handle, BadArgument when the saved
// words or line do not fit.
HV_EXPORT Status decoderResume(DecoderState& state, const ResumePoint& point);
// Replaces the output (bitmap band or list buffer) and rewinds it.
HV_EXPORT void decoderSetOutput(DecoderState& state, const DecoderOutput& output);

}  // namespace hv::engine
