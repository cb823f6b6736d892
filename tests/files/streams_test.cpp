#include "files/streams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/field_accessors.h"
#include "core/object_model.h"
#include "files/folder_item.h"
#include "files_test_support.h"

namespace {

class StreamTest : public FolderFixture {
 protected:
  RuntimeObject* Item(const std::string& name) { return Keep(NewFolderItem(Windows(name).c_str())); }
  RuntimeObject* OpenText(const std::string& name) { return Keep(FolderItemOpenTextFile(Item(name))); }
  RuntimeObject* CreateText(const std::string& name) { return Keep(FolderItemCreateTextFile(Item(name))); }
  RuntimeObject* CreateBinary(const std::string& name) { return Keep(FolderItemCreateBinaryFile(Item(name), nullptr)); }
  RuntimeObject* OpenBinary(const std::string& name, bool readWrite) {
    return Keep(FolderItemOpenBinaryFile(Item(name), readWrite));
  }

};

std::vector<std::string> ReadLines(RuntimeObject* stream, int count) {
  std::vector<std::string> lines;
  for (int index = 0; index < count; index++) lines.push_back(Take(TextInputStreamReadLine(stream)));
  return lines;
}

TEST_F(StreamTest, LineEndsOfEveryKind) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\rb\r\n", {"a", "b"}},
      {"", {}},
      {"\r\n", {""}},
      {"no end", {"no end"}},
      {std::string(1023, 'x') + "\r\ny", {std::string(1023, 'x'), "y"}},  // CR LF across a refill
      {std::string(1024, 'x') + "\r\ny", {std::string(1024, 'x'), "y"}},
      {std::string(1023, 'x') + "\r\r", {std::string(1023, 'x'), ""}},
      {std::string(3000, 'z') + "\n", {std::string(3000, 'z')}},
  };
  for (const auto& c : cases) {
    Put("lines.txt", c.bytes);
    RuntimeObject* stream = OpenText("lines.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadLines(stream, static_cast<int>(c.lines.size())), c.lines) << c.bytes.substr(0, 20);
    EXPECT_TRUE(TextInputStreamEOF(stream, 0));
    EXPECT_EQ(Take(TextInputStreamReadLine(stream)), "");  // past the end: the empty string
    TextInputStreamClose(stream);
  }
}

TEST_F(StreamTest, ReadAllTakesTheRestWithLineEnds) {
  std::string text = "first\r\n" + std::string(2500, 'q') + "\nlast";
  Put("all.txt", text);
  RuntimeObject* stream = OpenText("all.txt");
  EXPECT_EQ(Take(TextInputStreamReadLine(stream)), "first");
  EXPECT_FALSE(TextInputStreamEOF(stream, 0));
  EXPECT_EQ(Take(TextInputStreamReadAll(stream)), text.substr(7));
  EXPECT_TRUE(TextInputStreamEOF(stream, 0));
}

TEST_F(StreamTest, WriteLineUsesTheDelimiter) {
  RuntimeObject* stream = CreateText("out.txt");
  ASSERT_NE(stream, nullptr);
  RuntimeString* x = StringFromCString("x");
  TextOutputStreamWriteLine(stream, x);
  RuntimeString* lf = StringFromCString("\n");
  stringSetter(stream, static_cast<int32_t>(sizeof(RuntimeObject) + sizeof(void*)), lf);
  TextOutputStreamWriteLine(stream, x);
  TextOutputStreamWrite(stream, x);
  TextOutputStreamWrite(stream, nullptr);
  TextOutputStreamWriteLine(stream, nullptr);
  TextOutputStreamClose(stream);
  TextOutputStreamWrite(stream, x);  // after Close: nothing
  EXPECT_EQ(Get("out.txt"), "x\r\nx\nx\n");
  StringRelease(x);
  StringRelease(lf);
}

TEST_F(StreamTest, AppendGoesToTheEndOrCreates) {
  Put("log.txt", "one\r\n");
  RuntimeString* two = StringFromCString("two");
  RuntimeObject* stream = Keep(FolderItemAppendTextFile(Item("log.txt")));
  TextOutputStreamWriteLine(stream, two);
  TextOutputStreamClose(stream);
  EXPECT_EQ(Get("log.txt"), "one\r\ntwo\r\n");
  stream = Keep(FolderItemAppendTextFile(Item("new.txt")));
  ASSERT_NE(stream, nullptr);
  TextOutputStreamWrite(stream, two);
  RuntimeUnlockObject(stream);  // destroyed without Close: the text is kept
  kept_.pop_back();
  EXPECT_EQ(Get("new.txt"), "two");
  StringRelease(two);
}

TEST_F(StreamTest, MissingFoldersAndForbiddenNamesGiveNil) {
  std::filesystem::create_directory(Host("dir"));
  for (const char* name : {"missing.txt", "dir", "a|b.txt", "nofolder\\x.txt"}) {
    EXPECT_EQ(OpenText(name), nullptr) << name;
    EXPECT_EQ(OpenBinary(name, true), nullptr) << name;
    EXPECT_EQ(OpenBinary(name, false), nullptr) << name;
    if (std::string(name) != "missing.txt") {
      EXPECT_EQ(CreateText(name), nullptr) << name;
      EXPECT_EQ(CreateBinary(name), nullptr) << name;
    }
  }
}

TEST_F(StreamTest, NumbersRoundTripInBothByteOrders) {
  const struct {
    bool little;
    std::string bytes;
  } orders[] = {
      {false, std::string("\x01\x02\xFF\xFE\x12\x34\x56\x78", 8) + std::string("\x3F\xC0\x00\x00", 4) +
                  std::string("\xC0\x09\x21\xFB\x54\x44\x2D\x18", 8) + std::string("\x80", 1)},
      {true, std::string("\x02\x01\xFE\xFF\x78\x56\x34\x12", 8) + std::string("\x00\x00\xC0\x3F", 4) +
                 std::string("\x18\x2D\x44\x54\xFB\x21\x09\xC0", 8) + std::string("\x80", 1)},
  };
  const size_t little = sizeof(RuntimeObject) + sizeof(void*);  // the field after the file
  for (const auto& order : orders) {
    RuntimeObject* stream = CreateBinary("n.bin");
    ByteFieldSetter(stream, static_cast<int32_t>(little), order.little);
    BinaryStreamWriteShort(stream, 258);
    BinaryStreamWriteShort(stream, -2);
    BinaryStreamWriteLong(stream, 0x12345678);
    BinaryStreamWriteFloat(stream, 1.5);
    BinaryStreamWriteDouble(stream, -3.141592653589793);
    BinaryStreamWriteByte(stream, 0x380);  // the low 8 bits
    EXPECT_EQ(BinaryStreamGetLength(stream, 0), 21);
    BinaryStreamClose(stream);
    EXPECT_EQ(Get("n.bin"), order.bytes) << order.little;

    stream = OpenBinary("n.bin", false);
    ByteFieldSetter(stream, static_cast<int32_t>(little), order.little);
    EXPECT_EQ(BinaryStreamReadShort(stream), 258);
    EXPECT_EQ(BinaryStreamReadShort(stream), -2);
    EXPECT_EQ(BinaryStreamReadLong(stream), 0x12345678);
    EXPECT_EQ(BinaryStreamReadFloat(stream), 1.5);
    EXPECT_EQ(BinaryStreamReadDouble(stream), -3.141592653589793);
    EXPECT_FALSE(BinaryStreamEOF(stream, 0));
    EXPECT_EQ(BinaryStreamReadByte(stream), 0x80);
    EXPECT_TRUE(BinaryStreamEOF(stream, 0));
    BinaryStreamClose(stream);
  }
}

TEST_F(StreamTest, ShortReadsGiveZero) {
  // Each read starts at the position given, in a file of the bytes 1 2 3.
  const struct {
    int32_t position;
    int32_t byte, shortValue, longValue;
    double single, doubleValue;
  } cases[] = {
      {0, 1, 0x0102, 0, 0.0, 0.0},
      {2, 3, 0, 0, 0.0, 0.0},
      {3, 0, 0, 0, 0.0, 0.0},
  };
  Put("s.bin", "\x01\x02\x03");
  RuntimeObject* stream = OpenBinary("s.bin", false);
  for (const auto& c : cases) {
    BinaryStreamSetPosition(stream, 0, c.position);
    EXPECT_EQ(BinaryStreamReadByte(stream), c.byte) << c.position;
    BinaryStreamSetPosition(stream, 0, c.position);
    EXPECT_EQ(BinaryStreamReadShort(stream), c.shortValue) << c.position;
    BinaryStreamSetPosition(stream, 0, c.position);
    EXPECT_EQ(BinaryStreamReadLong(stream), c.longValue) << c.position;
    BinaryStreamSetPosition(stream, 0, c.position);
    EXPECT_EQ(BinaryStreamReadFloat(stream), c.single) << c.position;
    BinaryStreamSetPosition(stream, 0, c.position);
    EXPECT_EQ(BinaryStreamReadDouble(stream), c.doubleValue) << c.position;
  }
}

TEST_F(StreamTest, PascalStringsAndRawText) {
  RuntimeObject* stream = CreateBinary("p.bin");
  RuntimeString* abc = StringFromCString("abc");
  std::string longText(300, 'L');
  RuntimeString* longString = StringFromBytes(longText.data(), 300);
  BinaryStreamWritePString(stream, abc);
  BinaryStreamWritePString(stream, nullptr);
  BinaryStreamWritePString(stream, longString);
  BinaryStreamWrite(stream, abc);
  BinaryStreamWrite(stream, nullptr);
  EXPECT_EQ(BinaryStreamGetLength(stream, 0), 4 + 1 + 256 + 3);
  BinaryStreamSetPosition(stream, 0, 0);
  EXPECT_EQ(Take(BinaryStreamReadPString(stream)), "abc");
  EXPECT_EQ(Take(BinaryStreamReadPString(stream)), "");
  EXPECT_EQ(Take(BinaryStreamReadPString(stream)), std::string(255, 'L'));
  EXPECT_EQ(BinaryStreamGetPosition(stream, 0), 261);
  EXPECT_EQ(Take(BinaryStreamRead(stream, 0)), "");
  EXPECT_EQ(Take(BinaryStreamRead(stream, -5)), "");
  EXPECT_EQ(Take(BinaryStreamRead(stream, 10)), "abc");  // fewer at the end
  EXPECT_EQ(Take(BinaryStreamRead(stream, 10)), "");
  // A length byte that promises more than the file holds gives the empty string.
  BinaryStreamSetPosition(stream, 0, 261);
  BinaryStreamWriteByte(stream, 9);
  BinaryStreamSetPosition(stream, 0, 261);
  EXPECT_EQ(Take(BinaryStreamReadPString(stream)), "");
  BinaryStreamClose(stream);
  StringRelease(abc);
  StringRelease(longString);
}

TEST_F(StreamTest, LengthAndPosition) {
  Put("l.bin", "0123456789");
  RuntimeObject* stream = OpenBinary("l.bin", true);
  BinaryStreamSetPosition(stream, 0, 6);
  EXPECT_EQ(Take(BinaryStreamRead(stream, 10)), "6789");
  BinaryStreamSetPosition(stream, 0, 4);
  BinaryStreamSetLength(stream, 0, 0);
  EXPECT_EQ(BinaryStreamGetLength(stream, 0), 0);
  EXPECT_EQ(BinaryStreamGetPosition(stream, 0), 4);  // kept, past the end
  EXPECT_TRUE(BinaryStreamEOF(stream, 0));
  BinaryStreamSetPosition(stream, 0, 100);  // no limit
  EXPECT_EQ(BinaryStreamGetPosition(stream, 0), 100);
  BinaryStreamClose(stream);
  EXPECT_EQ(Get("l.bin"), "");
}

TEST_F(StreamTest, ReadOnlyBinaryStreamKeepsTheFile) {
  Put("ro.bin", "keep");
  RuntimeObject* stream = OpenBinary("ro.bin", false);
  BinaryStreamWriteLong(stream, 7);
  BinaryStreamSetLength(stream, 0, 1);
  EXPECT_EQ(BinaryStreamGetLength(stream, 0), 4);
  BinaryStreamClose(stream);
  EXPECT_EQ(Get("ro.bin"), "keep");
}

TEST_F(StreamTest, ClosedStreamsGiveZeroValues) {
  Put("c.bin", "data");
  RuntimeObject* binary = OpenBinary("c.bin", true);
  RuntimeObject* text = OpenText("c.bin");
  BinaryStreamClose(binary);
  TextInputStreamClose(text);
  TextInputStreamClose(text);
  EXPECT_EQ(TextInputStreamReadLine(text), nullptr);
  EXPECT_EQ(TextInputStreamReadAll(text), nullptr);
  EXPECT_FALSE(TextInputStreamEOF(text, 0));
  EXPECT_TRUE(BinaryStreamEOF(binary, 0));
  EXPECT_EQ(BinaryStreamGetLength(binary, 0), 0);
  EXPECT_EQ(BinaryStreamGetPosition(binary, 0), 0);
  EXPECT_EQ(BinaryStreamReadLong(binary), 0);
  EXPECT_EQ(BinaryStreamReadDouble(binary), 0.0);
  EXPECT_EQ(BinaryStreamReadPString(binary), nullptr);
  EXPECT_EQ(BinaryStreamRead(binary, 3), nullptr);
  BinaryStreamWriteLong(binary, 1);
  BinaryStreamSetLength(binary, 0, 0);
  EXPECT_EQ(Get("c.bin"), "data");
}

}  // namespace
