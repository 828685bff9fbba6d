#include "platform/Object.h"
#include <gtest/gtest.h>
#include <memory>

namespace {
class BaseThing : public CObject {
    DECLARE_DYNCREATE(BaseThing)
};
class DerivedThing : public BaseThing {
    DECLARE_SERIAL(DerivedThing)
};
} // namespace
IMPLEMENT_DYNCREATE(BaseThing, CObject)
IMPLEMENT_SERIAL(DerivedThing, BaseThing, 3)

TEST(RuntimeClass, NamesKindOfAndCreation) {
    const CRuntimeClass* cls = CRuntimeClass::FromName("DerivedThing");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->m_wSchema, 3u);
    std::unique_ptr<CObject> obj(cls->CreateObject());
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, "DerivedThing");
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(BaseThing)));
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CObject)));
    BaseThing base;
    EXPECT_FALSE(base.IsKindOf(RUNTIME_CLASS(DerivedThing)));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}
