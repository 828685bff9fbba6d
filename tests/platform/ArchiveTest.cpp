#include "platform/Archive.h"
#include "platform/ObArray.h"
#include "support/ObContainers.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
// A serializable test object counting live instances.
class ArchItem : public CObject {
    DECLARE_SERIAL(ArchItem)
  public:
    ArchItem() { ++live; }
    ~ArchItem() override { --live; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar << value << name << ratio;
        else
            ar >> value >> name >> ratio;
    }
    int32_t value = 0;
    std::string name;
    double ratio = 0;
    static int live;
};
int ArchItem::live = 0;
IMPLEMENT_SERIAL(ArchItem, CObject, 3)

std::vector<uint8_t> StoreOf(const CObject* o) {
    CArchive ar;
    ar << o;
    return ar.Data();
}

ArchItem* Item(int32_t value, const std::string& name = "", double ratio = 0) {
    auto* it = new ArchItem;
    it->value = value, it->name = name, it->ratio = ratio;
    return it;
}

// Three items, a null, and a list holding one more item.
std::unique_ptr<CObArrayX> MakeArray() {
    auto a = std::make_unique<CObArrayX>();
    for (int i = 0; i < 3; ++i)
        a->Add(Item(i * 10, "item" + std::to_string(i), i / 4.0));
    a->Add(nullptr);
    auto* inner = new CObListX;
    inner->AddTail(Item(99));
    a->Add(inner);
    return a;
}
} // namespace

TEST(Archive, ValuesRoundTripWithCountAndStringEscapes) {
    CArchive out;
    std::string longText(70000, 'x');
    out << int8_t(-5) << uint16_t(0xBEEF) << int32_t(-123456) << uint64_t(1ull << 40) << 2.5f
        << -0.125 << true << std::string("abc") << longText;
    out.WriteCount(0xFFFE);
    out.WriteCount(0x12345);
    // Count escape: 0xFFFF then the DWORD.
    CArchive in(out.Data().data(), out.Data().size());
    std::tuple<int8_t, uint16_t, int32_t, uint64_t, float, double, bool, std::string> back;
    auto& [a, b, c, d, e, f, g, s] = back;
    std::string l;
    in >> a >> b >> c >> d >> e >> f >> g >> s >> l;
    EXPECT_EQ(back, std::tuple(int8_t(-5), uint16_t(0xBEEF), -123456, 1ull << 40, 2.5f, -0.125,
                               true, std::string("abc")));
    EXPECT_EQ(l, longText);
    EXPECT_EQ(in.ReadCount(), 0xFFFEu);
    EXPECT_EQ(in.ReadCount(), 0x12345u);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_THROW(in.ReadCount(), CArchiveException);
}

TEST(Archive, LayoutOfClassTagsAndBackReferences) {
    CObArray arr;
    ArchItem x;
    arr.Add(&x);
    arr.Add(&x);
    arr.Add(nullptr);
    std::vector<uint8_t> d = StoreOf(&arr);
    // New class CObArray: FFFF, schema 0, length 8, name.
    std::vector<uint8_t> head = {0xFF, 0xFF, 0, 0, 8, 0, 'C', 'O', 'b', 'A', 'r', 'r', 'a', 'y'};
    ASSERT_GE(d.size(), head.size() + 2);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), d.begin()));
    EXPECT_EQ(d[14], 3);    // count
    EXPECT_EQ(d[16], 0xFF); // new class ArchItem (index 3), schema 3
    EXPECT_EQ(d[18], 3);
    // After the item's data: back-reference to object 4, then null.
    std::vector<uint8_t> tail = {4, 0, 0, 0};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), d.end() - 4));

    CObject* o = nullptr;
    ASSERT_EQ(LoadObject(d.data(), d.size(), o), 1);
    auto* back = dynamic_cast<CObArray*>(o);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetSize(), 3);
    EXPECT_EQ(back->GetAt(0), back->GetAt(1)); // shared object stays shared
    EXPECT_EQ(back->GetAt(2), nullptr);
    delete back->GetAt(0);
    delete back;
}

TEST(Archive, OwningContainersRoundTripThroughFile) {
    std::string path = ::testing::TempDir() + "arch_roundtrip.bin";
    ASSERT_EQ(StoreObject(path, MakeArray().get()), 1);
    EXPECT_EQ(ArchItem::live, 0);
    CObject* o = nullptr;
    ASSERT_EQ(LoadObject(path, o, RUNTIME_CLASS(CObArrayX)), 1);
    auto* a = dynamic_cast<CObArrayX*>(o);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->GetSize(), 5);
    auto* i2 = dynamic_cast<ArchItem*>(a->GetAt(2));
    ASSERT_NE(i2, nullptr);
    EXPECT_EQ(std::tie(i2->value, i2->name, i2->ratio), std::tuple(20, "item2", 0.5));
    EXPECT_EQ(a->GetAt(3), nullptr);
    auto* inner = dynamic_cast<CObListX*>(a->GetAt(4));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(static_cast<ArchItem*>(inner->GetHead())->value, 99);
    EXPECT_EQ(ArchItem::live, 4);
    delete a;
    EXPECT_EQ(ArchItem::live, 0);
    // Wrong class required, missing file.
    EXPECT_EQ(LoadObject(path, o, RUNTIME_CLASS(CObListX)), 0);
    EXPECT_EQ(o, nullptr);
    EXPECT_EQ(LoadObject(path + ".missing", o), 0);
    EXPECT_EQ(ArchItem::live, 0);
}

TEST(Archive, TruncatedOrCorruptedBytesFailOrLoadWithoutLeaks) {
    const std::vector<uint8_t> d = StoreOf(MakeArray().get());
    for (std::size_t n = 0; n < d.size(); ++n) {
        CObject* o = reinterpret_cast<CObject*>(1);
        EXPECT_EQ(LoadObject(d.data(), n, o), 0) << "length " << n;
        EXPECT_EQ(o, nullptr);
        EXPECT_EQ(ArchItem::live, 0) << "length " << n;
    }
    for (std::size_t i = 0; i < d.size(); ++i)
        for (uint8_t v : {uint8_t(0), uint8_t(0xFF), uint8_t(0x80), uint8_t(d[i] ^ 1)}) {
            std::vector<uint8_t> c = d;
            c[i] = v;
            CObject* o = nullptr;
            if (LoadObject(c.data(), c.size(), o)) delete o;
            EXPECT_EQ(ArchItem::live, 0) << "byte " << i;
        }
}

TEST(Archive, RejectsUnknownClassBadSchemaAndDuplicateOwnership) {
    CObject* o = nullptr;
    // Unknown class name.
    std::vector<uint8_t> unknown = {0xFF, 0xFF, 0, 0, 3, 0, 'X', 'y', 'z'};
    EXPECT_EQ(LoadObject(unknown.data(), unknown.size(), o), 0);
    // ArchItem stored with schema 2 while the class has 3.
    ArchItem x;
    std::vector<uint8_t> d = StoreOf(&x);
    d[2] = 2;
    EXPECT_EQ(LoadObject(d.data(), d.size(), o), 0);
    // The same object twice in an owning array would be deleted twice.
    CObArray shared;
    shared.Add(&x);
    shared.Add(&x);
    d = StoreOf(&shared);
    std::string name = "CObArrayX";
    std::vector<uint8_t> x2 = {0xFF, 0xFF, 0, 0, uint8_t(name.size()), 0};
    x2.insert(x2.end(), name.begin(), name.end());
    x2.insert(x2.end(), d.begin() + 14, d.end()); // same body, owning class
    EXPECT_EQ(LoadObject(x2.data(), x2.size(), o), 0);
    EXPECT_EQ(ArchItem::live, 1); // only x itself
    // A huge count with little data is refused before allocating.
    std::vector<uint8_t> huge = {0xFF, 0xFF, 0,   0,   8,    0,    'C',  'O',  'b',  'A',
                                 'r',  'r',  'a', 'y', 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(LoadObject(huge.data(), huge.size(), o), 0);
}

TEST(Archive, DeepNestingIsRefused) {
    // Each level: a CObListX holding one CObListX (class back-reference after the first).
    std::vector<uint8_t> d = {0xFF, 0xFF, 0, 0, 8, 0, 'C', 'O', 'b', 'L', 'i', 's', 't', 'X'};
    for (int i = 0; i < 100000; ++i)
        d.insert(d.end(), {1, 0, 0x01, 0x80}); // count 1, class index 1
    CObject* o = nullptr;
    EXPECT_EQ(LoadObject(d.data(), d.size(), o), 0);
}
