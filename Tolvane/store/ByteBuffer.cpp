// CByteBuffer (ByteBuffer.h): growing and freeing heap bytes, every allocation
// checked.
#include "ByteBuffer.h"

#include <cstring>
#include <new>

bool CByteBuffer::Reserve(size_t capacity) {
    if (capacity <= m_capacity) return true;
    char* data = new (std::nothrow) char[capacity];
    if (!data) return false;
    if (m_size) std::memcpy(data, m_data, m_size);
    delete[] m_data;
    m_data = data;
    m_capacity = capacity;
    return true;
}

void CByteBuffer::Free() {
    delete[] m_data;
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}
