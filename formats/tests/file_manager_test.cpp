#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "formats/file_manager.h"
#include "formats/fm_messages.h"
#include "formats/format_tables.h"
#include "formats/strip_reader.h"
#include "formats/tiff_tags.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tiff_builder.h"

namespace hv::formats {
namespace {

struct Collected {
  int severity = 0;
  std::string caption, text;
};

void collect(int severity, const char* caption, const char* text, void* user) {
  auto* c = static_cast<Collected*>(user);
  c->severity = severity;
  c->caption = caption;
  c->text = text;
}

TEST(FileManager, BindingAndTheFatalReport) {
  EXPECT_EQ(imfLoadFileFilter(1), 1);
  EXPECT_EQ(imfLoadFileFilter(1), 1);
  EXPECT_EQ(imfLoadFileFilter(7), 7);  // IMPORT/EXPORT images are read
  EXPECT_EQ(imfLoadFileFilter(8), 0);
  EXPECT_EQ(imfLoadFileFilter(0), 0);

  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("x.pdf"), "%PDF-1.7\n");
  Collected c;
  setMessageSink(collect, &c);
  std::uint32_t offset = 0;
  EXPECT_EQ(imfGetFileType(nullptr, dir.file("x.pdf").c_str(), &offset), 0);
  EXPECT_EQ(c.severity, kFatal);
  EXPECT_EQ(c.caption, "Halvor File Manager Error");
  EXPECT_EQ(c.text, "FATAL ERROR: Unable to Load Filter Procedure Pointers");

  hv::test::writeFile(dir.file("x.bin"), "just bytes");
  offset = 0;
  EXPECT_EQ(imfGetFileType(nullptr, dir.file("x.bin").c_str(), &offset), 0);
  EXPECT_EQ(offset, kSecondPassOffset);  // as imfTypeDosFile leaves it
  EXPECT_EQ(c.severity, kWarning);
  EXPECT_EQ(c.text, "Unknown Type");
  setMessageSink(nullptr, nullptr);
}

TEST(FileManager, DefaultResolutionRule) {
  hv::test::TempDir dir;
  setIniDirectory(dir.path());
  EXPECT_EQ(resolveResolution(300), 300u);
  EXPECT_EQ(resolveResolution(305), 200u);
  EXPECT_EQ(resolveResolution(0), 200u);
  EXPECT_EQ(resolveResolution(1210), 200u);
  hv::test::writeFile(dir.file("imviewer.ini"), "[FileMgr]\nRes=400\n");
  resetDefaultResolution();
  EXPECT_EQ(resolveResolution(0), 400u);
  hv::test::writeFile(dir.file("imviewer.ini"), "[FileMgr]\nRes=405\n");
  resetDefaultResolution();
  EXPECT_EQ(resolveResolution(0), 200u);
  setIniDirectory("");
}

TEST(FileManager, FileSeekOrigins) {
  hv::test::TempDir dir;
  hv::test::writeFile(dir.file("f"), std::string(200, 'x'));
  ImageFileRecord* r = newRecord();
  r->fd = ::open(dir.file("f").c_str(), O_RDONLY);
  r->headerOffset = 80;
  EXPECT_EQ(imfFileSeek(r, 10, kSeekFromHeader), 90);
  EXPECT_EQ(imfFileSeek(r, 5, kSeekFromCurrent), 95);
  EXPECT_EQ(imfFileSeek(r, -10, kSeekFromEnd), 190);
  EXPECT_EQ(imfFileSeek(r, 0, 3), -1);
  EXPECT_EQ(imfFileSeek(nullptr, 0, kSeekFromHeader), -1);
  ::close(r->fd);
  freeRecord(r);

  // A writer with a header offset: origin 1 counts from the offset, and a
  // non-zero offset moves (it was once ignored, leaving the position).
  ImageFileRecord* w = newRecord();
  w->fd = ::open(dir.file("f").c_str(), O_RDWR);
  w->headerOffset = 80;
  w->openedForWriting = 1;
  EXPECT_EQ(imfFileSeek(w, 10, kSeekFromHeader), 90);
  EXPECT_EQ(imfFileSeek(w, 0, kSeekFromCurrent), 10);
  EXPECT_EQ(imfFileSeek(w, 7, kSeekFromCurrent), 17);
  EXPECT_EQ(imfFileSeek(w, -17, kSeekFromCurrent), 0);
  EXPECT_EQ(imfFileSeek(w, 0, kSeekFromCurrent), 0);
  // One byte before the header is position -1 to a writer: a valid answer
  // inside, which the exported number cannot tell from a failure.
  const hv::Result<std::int64_t> before = fileSeek(w, -1, kSeekFromCurrent);
  ASSERT_TRUE(before.ok());
  EXPECT_EQ(before.value(), -1);
  EXPECT_EQ(fileSeek(w, 0, 3).status(), hv::Status::BadArgument);
  EXPECT_EQ(fileSeek(w, -1000, kSeekFromEnd).status(), hv::Status::ReadFailed);
  EXPECT_EQ(imfFileSeek(w, -1000, kSeekFromEnd), -1);
  ::close(w->fd);
  freeRecord(w);
}

// Two strips of raw bytes 0..99 and 100..149; CCITT data is bit-reversed.
TEST(StripReader, DeliversStripsAndAnnouncesBoundaries) {
  hv::test::TempDir dir;
  hv::test::TiffBuilder b;
  std::string s0, s1;
  for (int i = 0; i < 100; ++i) s0 += static_cast<char>(i);
  for (int i = 100; i < 150; ++i) s1 += static_cast<char>(i);
  std::uint32_t a0 = b.addData(s0), a1 = b.addData(s1);
  b.shortTag(kTiffImageWidth, {16})
      .shortTag(kTiffImageLength, {20})
      .shortTag(kTiffCompression, {kTiffGroup4})
      .shortTag(kTiffRowsPerStrip, {10})
      .strips({a0, a1}, {100, 50});
  hv::test::writeFile(dir.file("s.tif"), b.build());
  std::uint32_t off = 0;
  ASSERT_EQ(imfGetFileType(nullptr, dir.file("s.tif").c_str(), &off), 1);
  ImageFileRecord* r = boundFilter(1)->open(nullptr, dir.file("s.tif").c_str(), kOpenRead, off);
  ASSERT_NE(r, nullptr);
  std::uint8_t storage[64];
  CodeBuffer buf{storage, 0, sizeof storage};
  CodeInfo info;
  int comp = -1;
  EXPECT_EQ(imfGetCodeBuf(r, &buf, &info, &comp), 0);
  EXPECT_EQ(buf.count, 64u);
  EXPECT_EQ(info.bitOrder, -1);
  EXPECT_EQ(comp, kCompG4);
  EXPECT_EQ(storage[1], 0x80);  // 0x01 reversed
  EXPECT_EQ(imfGetCodeBuf(r, &buf, &info, &comp), 0);
  EXPECT_EQ(buf.count, 36u);
  EXPECT_EQ(imfGetCodeBuf(r, &buf, &info, &comp), 8);
  EXPECT_EQ(buf.count, 50u);
  EXPECT_EQ(imfGetCodeBuf(r, &buf, &info, &comp), 9);
  // A missing argument is a failure, not a buffer delivered: a caller looping
  // while the result is 0 would never end.
  EXPECT_EQ(imfGetCodeBuf(r, nullptr, &info, &comp), 10);
  EXPECT_EQ(imfGetCodeBuf(nullptr, &buf, &info, &comp), 10);

  // Checkpoints: height 20 gives spacing 1... (20 + 32) / 32 = 1; line 12
  // lies in strip 1. Seeking there restores the checkpoint's bit position.
  SeekRequest want{0, 12};
  SeekResult res;
  std::uint16_t ref[32];
  // Record a checkpoint as the decoder would: after line 12, 3 bytes and 5
  // bits into the current buffer of 50 bytes (the whole second strip).
  r->strips.current = 1;
  r->strips.position = 50;
  std::uint16_t line[3] = {2, 5, 16};
  imfLineInfo(r, 12, 3 * 8 + 5, 50, line, sizeof line, nullptr);
  ASSERT_TRUE(r->checkpoints[12].valid);
  EXPECT_EQ(r->checkpoints[12].bitPosition, 29u);
  EXPECT_EQ(imfSeekImage(r, &want, &buf, &info, &comp, ref, 32, &res), 1);
  EXPECT_EQ(res.originY, 12);
  EXPECT_EQ(res.bits.bitsAvailable, 8);
  EXPECT_EQ(res.bits.bitsLeft, 3);
  EXPECT_EQ(buf.count, 47u);
  EXPECT_EQ(res.bits.bitBuffer, static_cast<std::uint32_t>(storage[0]) >> 5);
  EXPECT_EQ(ref[1], 5);
  // Line 11 has no checkpoint in strip 1: the strip's beginning.
  want.y = 11;
  EXPECT_EQ(imfSeekImage(r, &want, &buf, &info, &comp, ref, 32, &res), 1);
  EXPECT_EQ(res.originY, 10);
  EXPECT_EQ(res.bits.bitsAvailable, 0);
  // Beyond the last line clamps to it.
  want.y = 500;
  EXPECT_EQ(imfSeekImage(r, &want, &buf, &info, &comp, ref, 32, &res), 1);
  EXPECT_EQ(res.originY, 12);  // clamped to line 19, restarted at the checkpoint of line 12
  imfCloseImage(r);
}

TEST(StripReader, BitReversalOfEveryByteAtEveryAlignment) {
  // Whole eight-byte words and the tail alike: every byte value reversed,
  // starting at each offset so that each byte passes through both paths.
  std::vector<std::uint8_t> all(256 + 7);
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (std::uint32_t start = 0; start < 8; ++start) {
    std::vector<std::uint8_t> bytes(all.begin() + start, all.end());
    reverseBits(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      std::uint8_t want = 0, v = all[start + i];
      for (int b = 0; b < 8; ++b) want |= static_cast<std::uint8_t>(((v >> b) & 1) << (7 - b));
      ASSERT_EQ(bytes[i], want) << "start " << start << " byte " << i;
    }
  }
}

TEST(Checkpoints, SpacingCoversTheImage) {
  EXPECT_EQ(checkpointSpacing(1000), 32u);
  EXPECT_EQ(checkpointSpacing(13600), 426u);
  EXPECT_LT(13599u / checkpointSpacing(13600), 32u);
}

}  // namespace
}  // namespace hv::formats

#include "formats/file_primitives.h"
#include <sys/stat.h>

namespace hv::formats {
namespace {

TEST(FilePrimitives, CreateFlagChoosesWritableOrReadOnly) {
  hv::test::TempDir dir;
  int fd = fileOpen(dir.file("w").c_str(), kFileCreate | kFileWriteAccess);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(fileWrite(fd, "abc", 3), 3);
  fileClose(fd);
  fd = fileOpen(dir.file("r").c_str(), kFileCreate);
  ASSERT_GE(fd, 0);
  fileClose(fd);
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("r").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  fd = fileOpen(dir.file("w").c_str(), kFileRead);
  char buf[8] = {};
  EXPECT_EQ(fileRead(fd, buf, 8), 3);
  fileClose(fd);
  EXPECT_EQ(fileOpen(dir.file("missing").c_str(), kFileRead), -1);
}

}  // namespace
}  // namespace hv::formats
