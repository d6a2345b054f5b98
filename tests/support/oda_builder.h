#pragma once
// Builds CALS Type 2 (ODA raster in BER) and EDMICS VI files byte by byte for
// tests, with every optional part switchable.
#include <cstdint>
#include <string>
#include <vector>

namespace hv::test {

// Encoding helpers (X.690 definite lengths).
std::string berElement(int cls, bool constructed, std::uint32_t number, const std::string& contents);
std::string berInteger(std::int64_t v);  // a universal INTEGER element

struct OdaTile {
  int type = 2;      // 0 null background, 1 null foreground, 2 Group 4, 5 uncompressed
  std::string data;  // the coded or packed bytes (none for null tiles)
};

struct OdaSpec {
  std::uint32_t width = 0, height = 0;
  std::uint32_t tileWidth = 512, tileLength = 512;
  std::int64_t pelSpacing = 6;     // basic units per pel: 200 dpi
  std::int64_t spacingRatio[2] = {1, 1};
  bool calsHeader = true;          // the 2048-byte CALS header block in front
  bool tileTypes = true;           // the tile types element
  bool tileList = true;            // the tile list element
  bool x690Identifiers = false;    // object identifiers in X.690 form
  bool profile = true, rasterClass = true;
  int coding = 5;                  // 5 tiled, 0 Group 4 untiled, 3 uncompressed untiled, other: unknown
  bool indefiniteTileData = false; // the tile data element in the indefinite form
  std::string title, date, author, organization;
  std::vector<OdaTile> tiles;
};

std::string buildCals2(const OdaSpec& spec);

struct Edm6Tile {
  bool uncompressed = false;
  std::string data;
};

struct Edm6Spec {
  std::uint32_t widthBytes = 0, height = 0, resolution = 0;
  std::string card;             // empty: 80 zero bytes
  bool secondVariant = false;   // header repeated at offset 14 with the word at 14 non-zero
  std::uint32_t indexEntries = 0xFFFFFFFF;  // how many index entries to write (default: all tiles)
  std::vector<Edm6Tile> tiles;
};

std::string buildEdmics6(const Edm6Spec& spec);

}  // namespace hv::test
