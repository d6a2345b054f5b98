#pragma once
// Header composition for converted images: the CALS header (1840 A or 1840 B
// form) or the EDMICS VI card of a saved image, composed from defaults, the
// user data file named in the caller's settings file and the source image's
// own header, later sources overriding earlier ones.
#include <cstddef>
#include <string>
#include <string_view>

namespace hv::formats::cals {

inline constexpr const char* kSettingsSection = "Preferences";
inline constexpr const char* kKey1840A = "1840ARasterUserDataFile";
inline constexpr const char* kKey1840B = "1840BRasterUserDataFile";
inline constexpr const char* kKeyC4 = "C4RasterUserDataFile";

inline constexpr std::size_t kCardColumns = 80;

enum class SourceKind { kNone, k1840A, k1840B, kEdmics6 };

// What the source image contributes: the 2048 bytes of a CALS header (padded
// with spaces to 2560) or an EDMICS VI card of 80 characters.
struct SourceHeader {
  SourceKind kind = SourceKind::kNone;
  std::string header;  // 2560 bytes for CALS sources
  std::string card;    // 80 characters for EDMICS VI sources
};

// Identifies the image file at path and captures its header; a file of
// another or unknown type contributes nothing.
SourceHeader captureSource(const char* path);
// A CALS source from its first bytes (at most 2048 are used): 1840 B when the
// first record begins "specversion:" (ignoring case), else 1840 A.
SourceHeader calsSource(std::string_view bytes);
SourceHeader edmicsSource(std::string_view card);

// The user data file named under key in section "Preferences" of the settings
// file, read whole; "" when there is none or it cannot be read.
std::string readUserData(const std::string& settingsFile, const char* key);

// Composes a 2560-byte header block: Form A (1840 A) or Form B (1840 B). The
// raster records are left for the writer.
void composeHeader(char* block, bool form1840B, std::string_view userData, const SourceHeader& source);

// Composes the 80-character card of an EDMICS VI target.
std::string composeCard(std::string_view userData, const SourceHeader& source);

// Card mapping: 80 card columns from a srcdocid value (position 0 is the
// value's first character); `n` characters of the value are available.
std::string cardFromSrcDocId(std::string_view value);
// The reverse direction, from an 80-column card to an 1840 B srcdocid value.
std::string srcDocIdFromCard(std::string_view card);

}  // namespace hv::formats::cals
