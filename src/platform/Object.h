// Run-time class information: class names, dynamic creation, kind-of tests and
// the schema number archives store beside each class.
#pragma once
#include "platform/Export.h"
#include <string>

class CObject;
class CArchive;

struct VOK_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when the class has no default creation.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // Registered class by name (classes register when their IMPLEMENT_ macro runs).
    static const CRuntimeClass* FromName(const std::string& name);
};

// Registers a class at static-initialisation time.
struct VOK_API CRuntimeClassRegistrar {
    explicit CRuntimeClassRegistrar(const CRuntimeClass* cls);
};

class VOK_API CObject {
  public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const;
    virtual void Serialize(CArchive& ar);
    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

#define DECLARE_DYNAMIC(cls)                                                                       \
  public:                                                                                          \
    static const CRuntimeClass class##cls;                                                         \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(cls)                                                                     \
    DECLARE_DYNAMIC(cls)                                                                           \
    static CObject* CreateObject();

#define DECLARE_SERIAL(cls) DECLARE_DYNCREATE(cls)

#define VOK_IMPLEMENT_RUNTIMECLASS(cls, base, schema, create)                                      \
    const CRuntimeClass cls::class##cls = {#cls, int(sizeof(cls)), schema, create,                 \
                                           RUNTIME_CLASS(base)};                                   \
    static CRuntimeClassRegistrar s_register_##cls(&cls::class##cls);                              \
    const CRuntimeClass* cls::GetRuntimeClass() const { return RUNTIME_CLASS(cls); }

#define IMPLEMENT_DYNAMIC(cls, base) VOK_IMPLEMENT_RUNTIMECLASS(cls, base, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(cls, base)                                                             \
    CObject* cls::CreateObject() { return new cls; }                                               \
    VOK_IMPLEMENT_RUNTIMECLASS(cls, base, 0xFFFF, cls::CreateObject)

#define IMPLEMENT_SERIAL(cls, base, schema)                                                        \
    CObject* cls::CreateObject() { return new cls; }                                               \
    VOK_IMPLEMENT_RUNTIMECLASS(cls, base, schema, cls::CreateObject)
