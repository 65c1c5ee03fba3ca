// The framework's map from pointer to pointer: a hash table whose entries are
// allocated in blocks.
#pragma once

#include "afx.h"

typedef struct __POSITION* POSITION;

class CMapPtrToPtr : public CObject {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(int nBlockSize = 10);
    ~CMapPtrToPtr() override;

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(void* key, void*& rValue) const;
    // Adds or replaces the key's value; FALSE only when memory runs out.
    BOOL SetAt(void* key, void* newValue);
    BOOL RemoveKey(void* key);
    void RemoveAll();

    // Walks all entries: pos = GetStartPosition(); while (pos) GetNextAssoc(pos, k, v);
    POSITION GetStartPosition() const;
    void GetNextAssoc(POSITION& rNextPosition, void*& rKey, void*& rValue) const;

    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Only while the map is empty.
    void InitHashTable(UINT hashSize);

private:
    struct CAssoc {
        CAssoc* pNext;
        void* key;
        void* value;
    };
    struct CPlex {   // one block of nBlockSize entries
        CPlex* pNext;
    };

    UINT HashKey(void* key) const;
    CAssoc* GetAssocAt(void* key, UINT& nHash) const;
    CAssoc* NewAssoc();
    void FreeAssoc(CAssoc* pAssoc);

    CAssoc** m_pHashTable;
    UINT m_nHashTableSize;
    int m_nCount;
    CAssoc* m_pFreeList;
    CPlex* m_pBlocks;
    int m_nBlockSize;
};
