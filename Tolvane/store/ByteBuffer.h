// CByteBuffer: bytes on the heap whose every allocation is checked. The store
// runs inside other programs, built without exceptions: running out of memory
// must come back as a result, never end the host.
#pragma once

#include <cstddef>

class CByteBuffer {
public:
    CByteBuffer() : m_data(nullptr), m_size(0), m_capacity(0) {}
    ~CByteBuffer() { Free(); }
    CByteBuffer(const CByteBuffer&) = delete;
    CByteBuffer& operator=(const CByteBuffer&) = delete;

    // Makes room for capacity bytes, keeping the bytes held. False, with
    // nothing changed, when there is not enough memory.
    bool Reserve(size_t capacity);
    void Free();

    char* Data() { return m_data; }
    const char* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    size_t Capacity() const { return m_capacity; }
    // At most Capacity().
    void SetSize(size_t size) { m_size = size <= m_capacity ? size : m_capacity; }

private:
    char* m_data;
    size_t m_size;
    size_t m_capacity;
};
