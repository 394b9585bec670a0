#include "framework/value_stream.h"

#include <gtest/gtest.h>

#include "framework/errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ValueStream, IntegersTakeTheSmallestWidthLittleEndian) {
  zelto::ValueWriter w;
  for (std::int32_t v : {0, -128, 127, 128, -32768, 32768, -2})
    w.WriteInteger(v);
  EXPECT_EQ(w.Bytes(), (Bytes{2, 0x00, 2, 0x80, 2, 0x7F, 3, 0x80, 0x00, 3, 0x00, 0x80, 4, 0x00, 0x80, 0x00, 0x00,
                              2, 0xFE}));
  zelto::ValueReader r(w.Bytes());
  for (std::int32_t v : {0, -128, 127, 128, -32768, 32768, -2}) EXPECT_EQ(r.ReadInteger(), v);
  EXPECT_TRUE(r.AtEnd());
}

TEST(ValueStream, StringsListsAndFloats) {
  zelto::ValueWriter w;
  w.WriteString("ab");
  w.WriteString(std::string(300, 'x'));
  w.WriteListBegin();
  w.WriteFloat(1.0);
  w.WriteListEnd();
  const Bytes& b = w.Bytes();
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{6, 2, 'a', 'b'}));
  EXPECT_EQ(Bytes(b.begin() + 4, b.begin() + 9), (Bytes{12, 0x2C, 0x01, 0, 0}));
  // 1.0 as an extended float: integer bit set, exponent 16383.
  EXPECT_EQ(Bytes(b.begin() + 309, b.end()),
            (Bytes{1, 5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F, 0}));

  zelto::ValueReader r(b);
  EXPECT_EQ(r.ReadString(), "ab");
  EXPECT_EQ(r.ReadString().size(), 300u);
  r.ReadListBegin();
  EXPECT_FALSE(r.EndOfList());
  EXPECT_EQ(r.ReadFloat(), 1.0);
  EXPECT_TRUE(r.EndOfList());
  r.ReadListEnd();
  EXPECT_THROW(r.ReadInteger(), EZeltoError);
}

TEST(ValueStream, WrongValueTypesAreReportedNotMisread) {
  Bytes bytes = {6, 1, 'Z', 4, 1, 2};
  zelto::ValueReader r(bytes);
  EXPECT_THROW(r.ReadInteger(), EZeltoError);
  EXPECT_EQ(r.Position(), 0u);
  EXPECT_EQ(r.ReadChar(), 'Z');
  EXPECT_THROW(r.ReadInteger(), EZeltoError);  // truncated 4-byte integer
}

}  // namespace
