// TReader and TWriter: buffering, positioning on discard, value encodings.
#include <gtest/gtest.h>

#include <string>

#include "formstream/Errors.h"
#include "formstream/TReader.h"
#include "formstream/TWriter.h"

namespace vc {
namespace {

std::string written(void (*fn)(TWriter&)) {
  TMemoryStream out;
  {
    TWriter w(out);
    fn(w);
  }
  return out.data();
}

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}

TEST(TWriterTest, IntegersTakeTheSmallestTag) {
  EXPECT_EQ(written([](TWriter& w) { w.writeInteger(-1); }), bytes({2, 0xFF}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInteger(128); }), bytes({3, 0x80, 0}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInteger(-32769); }), bytes({4, 0xFF, 0x7F, 0xFF, 0xFF}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInteger(40000); }), bytes({4, 0x40, 0x9C, 0, 0}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInt64(5); }), bytes({2, 5}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInt64(4294967295LL); }),
            bytes({19, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
  EXPECT_EQ(written([](TWriter& w) { w.writeInt64(-2147483648LL); }), bytes({4, 0, 0, 0, 0x80}));
}

TEST(TWriterTest, StringsAndIdentifiers) {
  EXPECT_EQ(written([](TWriter& w) { w.writeString(std::string(255, 'a')); }),
            bytes({6, 255}) + std::string(255, 'a'));
  EXPECT_EQ(written([](TWriter& w) { w.writeString(std::string(256, 'a')); }),
            bytes({12, 0, 1, 0, 0}) + std::string(256, 'a'));
  EXPECT_EQ(written([](TWriter& w) { w.writeShortString(std::string(300, 'b')); }),
            bytes({255}) + std::string(255, 'b'));
  EXPECT_EQ(written([](TWriter& w) { w.writeWideString(u"A\u6703"); }), bytes({18, 2, 0, 0, 0, 'A', 0, 0x03, 0x67}));
  EXPECT_EQ(written([](TWriter& w) {
              w.writeIdent("TRUE");
              w.writeIdent("false");
              w.writeIdent("NULL");
              w.writeIdent("Nil");
              w.writeIdent("Button1Click");
            }),
            bytes({9, 8, 0, 13, 7, 12}) + "Button1Click");
}

TEST(TWriterTest, PrefixesFloatsAndBinary) {
  EXPECT_EQ(written([](TWriter& w) { w.writePrefix(0, 5); }), "");
  EXPECT_EQ(written([](TWriter& w) { w.writePrefix(flagInherited, 0); }), bytes({0xF1}));
  EXPECT_EQ(written([](TWriter& w) { w.writePrefix(flagChildPos, 0); }), bytes({0xF2, 2, 0}));
  EXPECT_EQ(written([](TWriter& w) { w.writeCurrency(15000); }), bytes({16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(written([](TWriter& w) { w.writeSingle(1.5f); }), bytes({15, 0, 0, 0xC0, 0x3F}));
  EXPECT_EQ(written([](TWriter& w) { w.writeDate(1.0); }), bytes({17, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(written([](TWriter& w) { w.writeFloat(Extended::fromInt64(1)); }),
            bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  EXPECT_EQ(written([](TWriter& w) { w.writeBinary("", 0); }), bytes({10, 0, 0, 0, 0}));
  EXPECT_EQ(written([](TWriter& w) {
              w.writeSignature();
              w.writeListBegin();
              w.writeListEnd();
            }),
            "TPF0" + bytes({1, 0}));
}

// A stream that accepts only `limit` bytes, to see what a writer passes on.
class CountingStream : public TMemoryStream {
 public:
  int writes = 0;
  std::size_t write(const void* b, std::size_t n) override {
    ++writes;
    return TMemoryStream::write(b, n);
  }
};

TEST(TWriterTest, BuffersAndPassesTheRestWhenDiscarded) {
  CountingStream out;
  {
    TWriter w(out);
    std::string big(10000, 'x');
    w.write(big);
    EXPECT_EQ(out.data().size(), 8192u);  // two full buffers so far
    EXPECT_EQ(out.writes, 2);
  }
  EXPECT_EQ(out.data().size(), 10000u);
}

TEST(TWriterTest, DiscardDuringFailureKeepsWhatWasWritten) {
  TMemoryStream out;
  try {
    TWriter w(out);
    w.write("partial");
    throw EReadError("x");
  } catch (const EReadError&) {
  }
  EXPECT_EQ(out.data(), "partial");
}

TEST(TReaderTest, DiscardPositionsBehindConsumedBytes) {
  std::string data(10000, 'a');
  TReadOnlyMemoryStream in(data);
  {
    TReader r(in);
    char buf[5000];
    r.read(buf, 5000);
    EXPECT_EQ(in.position(), 8192);
  }
  EXPECT_EQ(in.position(), 5000);
}

TEST(TReaderTest, ReadsAcrossSmallBuffers) {
  // The same values through a 3-byte buffer exercise every refill path.
  std::string data = bytes({2, 0xFF, 3, 0x80, 0, 4, 0x40, 0x9C, 0, 0, 19, 1, 0, 0, 0, 1, 0, 0, 0}) +
                     bytes({6, 3}) + "abc" + bytes({12, 2, 0, 0, 0}) + "de" + bytes({7, 2}) + "Ok" + bytes({9});
  for (std::size_t size : {std::size_t{3}, std::size_t{4096}}) {
    TReadOnlyMemoryStream in(data);
    TReader r(in, size);
    EXPECT_EQ(r.readInteger(), -1);
    EXPECT_EQ(r.readInteger(), 128);
    EXPECT_EQ(r.readInteger(), 40000);
    EXPECT_EQ(r.readInt64(), 0x100000001LL);
    EXPECT_EQ(r.readString(), "abc");
    EXPECT_EQ(r.readString(), "de");
    EXPECT_EQ(r.readIdent(), "Ok");
    EXPECT_EQ(r.readIdent(), "True");
    EXPECT_THROW(r.readTag(), EReadError);
  }
}

TEST(TReaderTest, ConversionsFromIntegerTags) {
  std::string data = bytes({2, 3, 2, 3, 2, 3, 3, 0x10, 0x27});
  TReadOnlyMemoryStream in(data);
  TReader r(in);
  EXPECT_EQ(formatGeneral(r.readFloat()), "3");
  EXPECT_EQ(r.readSingle(), 3.0f);
  EXPECT_EQ(r.readDate(), 3.0);
  EXPECT_EQ(r.readCurrency(), 100000000);
}

TEST(TReaderTest, RejectsWrongKindsAndHostileLengths) {
  auto fails = [](const std::string& data, auto fn, const char* message) {
    TReadOnlyMemoryStream in(data);
    TReader r(in);
    try {
      fn(r);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.message(), message);
    }
  };
  fails(bytes({5}), [](TReader& r) { r.readInteger(); }, msg::kInvalidPropertyValue);
  fails(bytes({18, 0, 0, 0}), [](TReader& r) { r.readString(); }, msg::kInvalidPropertyValue);
  fails(bytes({12, 0xFF, 0xFF, 0xFF, 0xFF}), [](TReader& r) { r.readString(); }, msg::kInvalidPropertyValue);
  fails(bytes({18, 0xFE, 0xFF, 0xFF, 0xFF}), [](TReader& r) { r.readWideString(); }, msg::kInvalidPropertyValue);
  fails(bytes({20, 0xFF, 0xFF, 0xFF, 0xFF}), [](TReader& r) { r.readWideString(); }, msg::kInvalidPropertyValue);
  // A 2 GB claim over a few bytes fails as a short read, without a 2 GB allocation.
  fails(bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), [](TReader& r) { r.readString(); }, msg::kReadError);
  fails(bytes({18, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), [](TReader& r) { r.readWideString(); }, msg::kReadError);
  fails(bytes({6}), [](TReader& r) { r.readIdent(); }, msg::kInvalidPropertyValue);
  fails(bytes({3}), [](TReader& r) { r.readListEnd(); }, msg::kInvalidPropertyValue);
}

TEST(TReaderTest, CheckTagSkipsTheWholeWrongValue) {
  std::string data = bytes({1, 2, 7, 6, 2, 'a', 'b', 0, 9});
  TReadOnlyMemoryStream in(data);
  TReader r(in);
  EXPECT_THROW(r.checkTag(tagCollection), EReadError);
  EXPECT_EQ(r.readTag(), tagTrue);
}

TEST(TReaderTest, WideAndUtf8Strings) {
  std::string data = bytes({18, 2, 0, 0, 0, 'A', 0, 0x03, 0x67, 20, 4, 0, 0, 0, 'a', 0xE6, 0x9C, 0x83, 20, 1, 0, 0, 0, 0xFF});
  TReadOnlyMemoryStream in(data);
  TReader r(in);
  EXPECT_EQ(r.readWideString(), u"A\u6703");
  EXPECT_EQ(r.readWideString(), u"a\u6703");
  EXPECT_EQ(r.readWideString(), u"\uFFFD");
}

TEST(TReaderTest, PrefixAndChildPosition) {
  std::string data = bytes({0xF3, 2, 3, 'x', 0xF4, 'y'});
  TReadOnlyMemoryStream in(data);
  TReader r(in);
  std::int32_t pos = -1;
  EXPECT_EQ(r.readPrefix(pos), flagInherited | flagChildPos);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(r.readByte(), 'x');
  EXPECT_EQ(r.readPrefix(pos), flagInline);
  EXPECT_EQ(r.readPrefix(pos), 0);
  EXPECT_EQ(r.readByte(), 'y');
}

}  // namespace
}  // namespace vc
