#include "ByteBuffer.h"

#include <cstring>
#include <new>

bool CByteBuffer::Reserve(size_t capacity) {
    if (capacity <= capacity_) return true;
    char* data = new (std::nothrow) char[capacity];
    if (!data) return false;
    if (size_) std::memcpy(data, data_, size_);
    delete[] data_;
    data_ = data;
    capacity_ = capacity;
    return true;
}

void CByteBuffer::Free() {
    delete[] data_;
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}
