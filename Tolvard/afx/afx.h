// Core of the framework: objects with run-time class names, a small string and the
// pointer map. Used by every other framework header.
#pragma once

#include <windows.h>

class CObject;

// One record per class, made by IMPLEMENT_DYNAMIC: the class's name, its base's
// record and, for classes made with IMPLEMENT_DYNCREATE, a creation function.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const;  // nullptr for classes that cannot be created dynamically
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject {
public:
    virtual ~CObject() {}
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() {}

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew) \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, sizeof(class_name), pfnNew, RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// The object as the given class, or nullptr when it is not one.
#define DYNAMIC_DOWNCAST(class_name, object) \
    ((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name)) \
         ? static_cast<class_name*>(object) : nullptr)

// A zero-terminated ANSI string on the heap. Never null: an empty string reads "".
// When memory runs out, the string keeps its old contents.
class CString {
public:
    CString();
    CString(LPCSTR text);
    CString(const CString& other);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(LPCSTR text);
    CString& operator+=(LPCSTR text);

    operator LPCSTR() const { return m_pchData; }
    int GetLength() const { return m_nLength; }
    BOOL IsEmpty() const { return m_nLength == 0; }
    void Empty();
    int Compare(LPCSTR text) const;     // case-sensitive, like strcmp

    // Loads a string resource of the program; FALSE (and empty) when it is missing.
    BOOL LoadString(UINT nID);

    // Room for nMinBufLength characters and the terminator; nullptr without memory.
    // ReleaseBuffer takes the length from the terminator (or the given length).
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    BOOL Assign(LPCSTR text, int length);

    char* m_pchData;
    int m_nLength;
    int m_nAllocLength;
};

inline bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
inline bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }

#include "afxcoll.h"
