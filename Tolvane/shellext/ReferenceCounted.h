// The one reference-count pattern of the library's COM objects (the class factory and
// the extension object): a plain count, and the object deletes itself when the last
// reference goes. Each object's own destructor is private, so that nothing but its
// last Release ends it. The module's count of live objects changes here, in the
// constructor and the destructor only.
#pragma once

#include <windows.h>

#include "module/Module.h"

class CReferenceCounted {
public:
    // An apartment-threaded object is called on one thread: a plain count will do.
    ULONG AddReference() { return ++m_referenceCount; }
    // Returns the count that is left, read before the object may have gone.
    ULONG ReleaseReference() {
        ULONG left = --m_referenceCount;
        if (left == 0) delete this;
        return left;
    }

protected:
    CReferenceCounted() : m_referenceCount(0) { ObjectCreated(); }
    virtual ~CReferenceCounted() { ObjectDestroyed(); }

private:
    CReferenceCounted(const CReferenceCounted&) = delete;
    CReferenceCounted& operator=(const CReferenceCounted&) = delete;

    ULONG m_referenceCount;
};
