// Feeds arbitrary bytes to the object archive loader: it must fail cleanly,
// without crashes, undefined behaviour or leaks. Built with VOK_WRITE_SEEDS it
// is instead a program that writes the seed archives of fuzz/corpus/archive
// (fuzz/build seeds).
#include "platform/Archive.h"
#include "platform/ObArray.h"
#include "support/ObContainers.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {
class FuzzItem : public CObject {
    DECLARE_SERIAL(FuzzItem)
  public:
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << value << name << child;
        } else {
            ar >> value >> name;
            child = ar.ReadObject(nullptr, CArchive::Hold::Owned);
        }
    }
    ~FuzzItem() override { delete child; }
    int32_t value = 0;
    std::string name;
    CObject* child = nullptr;
};
IMPLEMENT_SERIAL(FuzzItem, CObject, 1)
} // namespace

#ifdef VOK_WRITE_SEEDS
namespace {
FuzzItem* Item(int32_t value, std::string name, CObject* child = nullptr) {
    auto* it = new FuzzItem;
    it->value = value;
    it->name = std::move(name);
    it->child = child;
    return it;
}

bool Save(const std::string& dir, const char* name, const CObject* root) {
    CArchive ar;
    ar.WriteObject(root);
    return ar.SaveToFile(dir + "/" + name);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;

    FuzzItem* single = Item(7, "one");
    ok &= Save(dir, "item.bin", single);
    delete single;

    FuzzItem* nested = Item(1, "outer", Item(2, "inner", Item(3, "")));
    ok &= Save(dir, "nested.bin", nested);
    delete nested;

    // Strings with a WORD length (over 254 bytes).
    FuzzItem* longName = Item(-1, std::string(300, 'x'));
    ok &= Save(dir, "long-name.bin", longName);
    delete longName;

    CObArrayX empty;
    ok &= Save(dir, "empty-array.bin", &empty);

    CObArrayX array;
    for (int i = 0; i < 4; ++i)
        array.Add(Item(i, "a" + std::to_string(i)));
    ok &= Save(dir, "array.bin", &array);

    CObListX list;
    for (int i = 0; i < 3; ++i)
        list.AddTail(Item(10 + i, "l" + std::to_string(i)));
    ok &= Save(dir, "list.bin", &list);

    // A non-owning array holding one object twice: a back-reference.
    FuzzItem* shared = Item(5, "shared");
    CObArray refs;
    refs.Add(shared);
    refs.Add(shared);
    refs.Add(nullptr);
    ok &= Save(dir, "back-reference.bin", &refs);
    delete shared;

    // A list of arrays: class entries reused across nesting levels.
    CObListX outer;
    for (int i = 0; i < 2; ++i) {
        auto* inner = new CObArrayX;
        inner->Add(Item(i, "in"));
        outer.AddTail(inner);
    }
    ok &= Save(dir, "list-of-arrays.bin", &outer);

    if (!ok) std::fprintf(stderr, "cannot write the seeds into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
#else
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CArchive ar(data, size);
    try {
        CObject* obj = ar.ReadObject(nullptr);
        // The objects created for non-owning containers belong to nobody else:
        // the caller of a clean load frees them beside the root.
        ar.DeleteOrphans();
        delete obj;
    } catch (const CArchiveException&) {
        ar.DeleteOrphans();
    }
    return 0;
}
#endif
