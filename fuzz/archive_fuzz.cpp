// Feeds arbitrary bytes to the object archive loader: it must fail cleanly,
// without crashes, undefined behaviour or leaks.
#include "platform/Archive.h"
#include "platform/ObArray.h"
#include "support/ObContainers.h"

#include <cstddef>
#include <cstdint>

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
