// CMapPtrToPtr: a hash map from pointer to pointer, with its associations kept in
// blocks.
#include "afxcoll.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)

CMapPtrToPtr::CMapPtrToPtr(int nBlockSize)
    : m_pHashTable(nullptr), m_nHashTableSize(17), m_nCount(0), m_pFreeList(nullptr),
      m_pBlocks(nullptr), m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CMapPtrToPtr::~CMapPtrToPtr() { RemoveAll(); }

UINT CMapPtrToPtr::HashKey(void* key) const {
    return static_cast<UINT>(reinterpret_cast<uintptr_t>(key) >> 4);
}

void CMapPtrToPtr::InitHashTable(UINT hashSize) {
    if (m_nCount != 0 || hashSize == 0) return;
    free(m_pHashTable);
    m_pHashTable = nullptr;
    m_nHashTableSize = hashSize;
}

CMapPtrToPtr::CAssoc* CMapPtrToPtr::GetAssocAt(void* key, UINT& nHash) const {
    nHash = HashKey(key) % m_nHashTableSize;
    if (!m_pHashTable) return nullptr;
    for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc; pAssoc = pAssoc->pNext)
        if (pAssoc->key == key) return pAssoc;
    return nullptr;
}

BOOL CMapPtrToPtr::Lookup(void* key, void*& rValue) const {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (!pAssoc) return FALSE;
    rValue = pAssoc->value;
    return TRUE;
}

CMapPtrToPtr::CAssoc* CMapPtrToPtr::NewAssoc() {
    if (!m_pFreeList) {
        // One more block: a header followed by m_nBlockSize entries, all put on the free list.
        CPlex* block = static_cast<CPlex*>(malloc(sizeof(CPlex) + m_nBlockSize * sizeof(CAssoc)));
        if (!block) return nullptr;
        block->pNext = m_pBlocks;
        m_pBlocks = block;
        CAssoc* entries = reinterpret_cast<CAssoc*>(block + 1);
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            entries[i].pNext = m_pFreeList;
            m_pFreeList = &entries[i];
        }
    }
    CAssoc* pAssoc = m_pFreeList;
    m_pFreeList = pAssoc->pNext;
    ++m_nCount;
    return pAssoc;
}

void CMapPtrToPtr::FreeAssoc(CAssoc* pAssoc) {
    pAssoc->pNext = m_pFreeList;
    m_pFreeList = pAssoc;
    if (--m_nCount == 0) RemoveAll();   // the blocks go with the last entry
}

BOOL CMapPtrToPtr::SetAt(void* key, void* newValue) {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (!pAssoc) {
        if (!m_pHashTable) {
            m_pHashTable = static_cast<CAssoc**>(calloc(m_nHashTableSize, sizeof(CAssoc*)));
            if (!m_pHashTable) return FALSE;
        }
        pAssoc = NewAssoc();
        if (!pAssoc) return FALSE;
        pAssoc->key = key;
        pAssoc->pNext = m_pHashTable[nHash];
        m_pHashTable[nHash] = pAssoc;
    }
    pAssoc->value = newValue;
    return TRUE;
}

BOOL CMapPtrToPtr::RemoveKey(void* key) {
    if (!m_pHashTable) return FALSE;
    CAssoc** ppAssocPrev = &m_pHashTable[HashKey(key) % m_nHashTableSize];
    for (CAssoc* pAssoc = *ppAssocPrev; pAssoc; pAssoc = pAssoc->pNext) {
        if (pAssoc->key == key) {
            *ppAssocPrev = pAssoc->pNext;
            FreeAssoc(pAssoc);
            return TRUE;
        }
        ppAssocPrev = &pAssoc->pNext;
    }
    return FALSE;
}

void CMapPtrToPtr::RemoveAll() {
    free(m_pHashTable);
    m_pHashTable = nullptr;
    while (m_pBlocks) {
        CPlex* next = m_pBlocks->pNext;
        free(m_pBlocks);
        m_pBlocks = next;
    }
    m_pFreeList = nullptr;
    m_nCount = 0;
}

POSITION CMapPtrToPtr::GetStartPosition() const {
    if (m_nCount == 0 || !m_pHashTable) return nullptr;
    for (UINT i = 0; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i]) return reinterpret_cast<POSITION>(m_pHashTable[i]);
    return nullptr;
}

void CMapPtrToPtr::GetNextAssoc(POSITION& rNextPosition, void*& rKey, void*& rValue) const {
    CAssoc* pAssoc = reinterpret_cast<CAssoc*>(rNextPosition);
    rKey = pAssoc->key;
    rValue = pAssoc->value;
    CAssoc* pNext = pAssoc->pNext;
    if (!pNext) {
        for (UINT i = HashKey(pAssoc->key) % m_nHashTableSize + 1; i < m_nHashTableSize; ++i)
            if ((pNext = m_pHashTable[i]) != nullptr) break;
    }
    rNextPosition = reinterpret_cast<POSITION>(pNext);
}
