// hvtool meeting awkward input: index files that cannot be read or are not
// whole records, resolutions in centimetres, drawings too large for their
// target, and files the tool does not read.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace {

#ifdef HVTOOL_PATH
using hv::test::readFile;
using hv::test::runCommand;
using hv::test::TempDir;
using hv::test::writeFile;

const std::string kTool = HVTOOL_PATH;

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun run(const std::string& args) {
  TempDir dir;
  ToolRun r;
  r.status = runCommand("timeout 20 " + kTool + " " + args + " >" + dir.file("out") + " 2>" + dir.file("err"));
  r.out = readFile(dir.file("out"));
  r.err = readFile(dir.file("err"));
  return r;
}

TEST(HvtoolRecords, UnreadableAndMalformedIndexFilesFailTheCommandAndAreNamed) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("INDEX.HOL").c_str(), 0644), 0);
  ASSERT_EQ(::mkdir(dir.file("JMX.HOL").c_str(), 0755), 0);
  writeFile(dir.file("DOCFILES.IDX"), std::string(80, 'A') + "xyz");
  ToolRun r = run("records " + dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("INDEX.HOL: present but unreadable: not a regular file (a FIFO)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("JMX.HOL: present but unreadable: Is a directory"), std::string::npos);
  EXPECT_NE(r.out.find("DOCFILES.IDX: 1 record(s)\n  note: 1 whole record(s) of 80 bytes, 3 byte(s) left over"),
            std::string::npos);
  EXPECT_NE(r.err.find("hvtool records: INDEX.HOL: present but unreadable: not a regular file (a FIFO)\n"),
            std::string::npos)
      << r.err;
  ToolRun json = run("records --json " + dir.path());
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"problems\": {"), std::string::npos);
  // A sound folder still exits 0.
  TempDir sound;
  writeFile(sound.file("INDEX.HOL"), "srcdocid: " + std::string(90, ' ') + "\r\n");
  EXPECT_EQ(run("records " + sound.path()).status, 0);
}
// An uncompressed 1600 x 800 drawing with a frame, resolutions as given.
std::string drawing(std::uint32_t unit, std::uint32_t xNum, std::uint32_t xDen, std::uint32_t yNum,
                    std::uint32_t yDen, std::uint32_t orientation = 0) {
  hv::test::TiffBuilder b(false);
  std::string rows(200u * 800u, '\0');
  for (std::size_t x = 0; x < 200; ++x) rows[x] = rows[rows.size() - 200 + x] = '\xFF';
  std::uint32_t at = b.addData(rows);
  b.shortTag(256, {1600}).shortTag(257, {800}).shortTag(259, {1}).shortTag(262, {0});
  b.strips({at}, {std::uint32_t(rows.size())});
  b.rationalTag(282, xNum, xDen).rationalTag(283, yNum, yDen);
  if (unit != 0) b.shortTag(296, {unit});
  if (orientation != 0) b.shortTag(274, {orientation});
  return b.build();
}

TEST(HvtoolResolution, CentimetresAreShownAndSavedAsDotsPerInch) {
  TempDir dir;
  writeFile(dir.file("cm.tif"), drawing(3, 7874, 100, 7874, 100));
  ToolRun info = run("info " + dir.file("cm.tif"));
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Horizontal Resolution: 200\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Vertical Resolution: 200\n"), std::string::npos);
  EXPECT_NE(info.out.find("Width (inches):    8.00\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Height (inches):    4.00\n"), std::string::npos);
  EXPECT_EQ(info.out.find("Orientation"), std::string::npos);
  // Saved, the drawing keeps its physical size.
  for (const std::string code : {"CAL1GP4", "TIFFGP4"}) {
    const std::string out = dir.file("out-" + code);
    ToolRun convert = run("convert " + dir.file("cm.tif") + " " + out + " --to " + code);
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(convert.err, "");
    ToolRun back = run("info " + out);
    EXPECT_NE(back.out.find("Width (inches):    8.00\n"), std::string::npos) << code << back.out;
  }
}

TEST(HvtoolResolution, OneDensityTargetsSayWhenTheResolutionIsNotSquare) {
  TempDir dir;
  writeFile(dir.file("wide.tif"), drawing(2, 200, 1, 100, 1));
  ToolRun cals = run("convert " + dir.file("wide.tif") + " " + dir.file("w.cal") + " --to CAL1GP4");
  EXPECT_EQ(cals.status, 0) << cals.err;
  EXPECT_NE(cals.err.find("CAL1GP4 holds one resolution for both directions; the drawing's 200 x 100 dpi"),
            std::string::npos)
      << cals.err;
  ToolRun tiff = run("convert " + dir.file("wide.tif") + " " + dir.file("w.tif") + " --to TIFFGP4");
  EXPECT_EQ(tiff.status, 0);
  EXPECT_EQ(tiff.err, "");
}

TEST(HvtoolInfo, ATurnedPictureShowsItsOrientation) {
  TempDir dir;
  writeFile(dir.file("turned.tif"), drawing(2, 200, 1, 200, 1, 6));
  ToolRun r = run("info " + dir.file("turned.tif"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Orientation: 6 (first row at the right, first column at the top)\n"), std::string::npos)
      << r.out;
}
TEST(HvtoolMessages, BigTiffIsNamedAsNotSupported) {
  TempDir dir;
  writeFile(dir.file("big.tif"), std::string("II+\0\x08\0\0\0\x10\0\0\0\0\0\0\0", 16));
  writeFile(dir.file("bigm.tif"), std::string("MM\0+\0\x08\0\0\0\0\0\0\0\0\0\x10", 16));
  for (const std::string name : {"big.tif", "bigm.tif"}) {
    ToolRun id = run("identify " + dir.file(name));
    EXPECT_EQ(id.status, 1);
    EXPECT_EQ(id.out, dir.file(name) + ": Unknown Type (BigTIFF files are not supported)\n");
    ToolRun info = run("info " + dir.file(name));
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.err, "TIFF File Manager: BigTIFF files are not supported.\n");
  }
}

TEST(HvtoolMessages, ImportExportImagesOpenBack) {
  TempDir dir;
  const std::string sample = std::string(HV_SOURCE_DIR) + "/samples/sample-drawing.tif";
  ASSERT_EQ(run("convert " + sample + " " + dir.file("s.ded") + " --to DSEDGP4W").status, 0);
  ToolRun info = run("info " + dir.file("s.ded"));
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.err.find("FATAL"), std::string::npos);
  EXPECT_NE(info.out.find("Width (inches):   34.00\n"), std::string::npos) << info.out;
  ASSERT_EQ(run("decode " + dir.file("s.ded") + " " + dir.file("ded.pbm")).status, 0);
  ASSERT_EQ(run("decode " + sample + " " + dir.file("tif.pbm")).status, 0);
  EXPECT_EQ(readFile(dir.file("ded.pbm")), readFile(dir.file("tif.pbm")));
}

TEST(HvtoolMessages, ADrawingTooLargeForATiledTargetNamesTheLimit) {
  TempDir dir;
  // 65,100 x 16, uncompressed.
  hv::test::TiffBuilder b(false);
  const std::uint32_t rowBytes = (65100 + 7) / 8;
  std::uint32_t at = b.addData(std::string(rowBytes * 16, '\0'));
  b.shortTag(256, {65100}).shortTag(257, {16}).shortTag(259, {1}).shortTag(262, {0}).strips({at}, {rowBytes * 16});
  writeFile(dir.file("wide.tif"), b.build());
  ToolRun r = run("convert " + dir.file("wide.tif") + " " + dir.file("w.cal") + " --to CAL2GP4");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to save " + dir.file("w.cal") +
                       ": the drawing is 65100 pixels wide; a CALS Type 2 file holds at most 65024 (127 tiles of 512 "
                       "pixels) in each direction\n");
  EXPECT_EQ(r.err.find("GRX Error"), std::string::npos);
}
#endif

}  // namespace
