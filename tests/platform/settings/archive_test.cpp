#include "platform/settings/archive.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {
class Pair : public CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(Pair)
 public:
  int32_t a = 0;
  std::wstring b;
  void Serialize(Archive& ar) override {
    if (ar.IsStoring()) {
      ar.writeI32(a);
      ar.writeString(b);
    } else {
      a = ar.readI32();
      b = ar.readString();
    }
  }
};
KELVARA_IMPLEMENT_RUNTIME_CLASS(Pair, CObject, kVersionableSchema | 2, createInstance<Pair>)

class Other : public CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(Other)
};
KELVARA_IMPLEMENT_RUNTIME_CLASS(Other, CObject, 1, createInstance<Other>)

struct Registered {
  Registered() { registerRuntimeClass(Pair::classPair); registerRuntimeClass(Other::classOther); }
  ~Registered() { unregisterRuntimeClass(Pair::classPair); unregisterRuntimeClass(Other::classOther); }
};
}  // namespace

TEST(Archive, StringsUseTheUnicodeFormAndReadBothForms) {
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeString(L"日本");
    out.writeString(std::wstring(300, L'x'));
  }
  const std::vector<uint8_t> head{0xFF, 0xFE, 0xFF, 0x02, 0xE5, 0x65, 0x2C, 0x67};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  EXPECT_EQ(bytes[8 + 3], 0xFF);  // a long length takes the 16-bit form
  EXPECT_EQ(bytes[8 + 4], 0x2C);
  EXPECT_EQ(bytes[8 + 5], 0x01);

  Archive in(Archive::Load, bytes);
  EXPECT_EQ(in.readString(), L"日本");
  EXPECT_EQ(in.readString(), std::wstring(300, L'x'));
  EXPECT_EQ(in.remaining(), 0u);

  const std::vector<uint8_t> narrow{0x02, 0x93, 0xFA};  // the narrow form, code page 932
  Archive n(Archive::Load, narrow);
  EXPECT_EQ(n.readString(), L"日");
}

TEST(Archive, LengthsAndCountsBeyondTheDataAreCorrupt) {
  const std::vector<uint8_t> longString{0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x10, 0x41, 0x00};
  Archive a(Archive::Load, longString);
  EXPECT_THROW(a.readString(), ArchiveException);
  const std::vector<uint8_t> hugeCount{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  Archive b(Archive::Load, hugeCount);
  EXPECT_THROW(b.readCount(), ArchiveException);
  const std::vector<uint8_t> shortValue{0x01, 0x02, 0x03};
  Archive c(Archive::Load, shortValue);
  EXPECT_THROW(c.readU32(), ArchiveException);
  Archive d(Archive::Load, shortValue);
  try {
    d.writeU8(1);
    FAIL();
  } catch (const ArchiveException& e) {
    EXPECT_EQ(e.cause(), ArchiveException::ReadOnly);
  }
}

TEST(Archive, ObjectsCarryTheirClassOnceAndComeBackByName) {
  Registered registered;
  Pair first, second;
  first.a = 7;
  first.b = L"p";
  second.a = -1;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeCount(3);
    out.writeObject(&first);
    out.writeObject(&second);
    out.writeObject(nullptr);
  }
  // count, new class tag, schema 2, name length 4, "Pair", then the second object's class tag 0x8001.
  const std::vector<uint8_t> head{0x03, 0x00, 0xFF, 0xFF, 0x02, 0x00, 0x04, 0x00, 'P', 'a', 'i', 'r'};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  const size_t secondTag = head.size() + 4 + 6;
  EXPECT_EQ(bytes[secondTag], 0x01);
  EXPECT_EQ(bytes[secondTag + 1], 0x80);

  Archive in(Archive::Load, bytes);
  ASSERT_EQ(in.readCount(), 3u);
  auto a = in.readObject(&Pair::classPair);
  auto b = in.readObject(&Pair::classPair);
  auto c = in.readObject(&Pair::classPair);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(static_cast<Pair*>(a.get())->a, 7);
  EXPECT_EQ(static_cast<Pair*>(a.get())->b, L"p");
  EXPECT_EQ(static_cast<Pair*>(b.get())->a, -1);
  EXPECT_EQ(c, nullptr);
}

TEST(Archive, UnexpectedClassesSchemasAndBackReferencesAreRefused) {
  Registered registered;
  Other other;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeObject(&other);
  }
  Archive wrongKind(Archive::Load, bytes);
  EXPECT_THROW(wrongKind.readObject(&Pair::classPair), ArchiveException);

  std::vector<uint8_t> badSchema = bytes;
  badSchema[2] = 9;  // Other is not versionable
  Archive schema(Archive::Load, badSchema);
  EXPECT_THROW(schema.readObject(nullptr), ArchiveException);

  std::vector<uint8_t> unknown{0xFF, 0xFF, 0x01, 0x00, 0x03, 0x00, 'Z', 'z', 'z'};
  Archive name(Archive::Load, unknown);
  EXPECT_THROW(name.readObject(nullptr), ArchiveException);

  const std::vector<uint8_t> backReference{0x02, 0x00};
  Archive reference(Archive::Load, backReference);
  EXPECT_THROW(reference.readObject(nullptr), ArchiveException);
}
