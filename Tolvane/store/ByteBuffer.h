// CByteBuffer: bytes on the heap whose every allocation is checked. The store
// runs inside other programs, built without exceptions: running out of memory
// must come back as a result, never end the host.
#pragma once

#include <cstddef>

class CByteBuffer {
public:
    CByteBuffer() : data_(nullptr), size_(0), capacity_(0) {}
    ~CByteBuffer() { Free(); }
    CByteBuffer(const CByteBuffer&) = delete;
    CByteBuffer& operator=(const CByteBuffer&) = delete;

    // Makes room for capacity bytes, keeping the bytes held. False, with
    // nothing changed, when there is not enough memory.
    bool Reserve(size_t capacity);
    void Free();

    char* Data() { return data_; }
    const char* Data() const { return data_; }
    size_t Size() const { return size_; }
    size_t Capacity() const { return capacity_; }
    // At most Capacity().
    void SetSize(size_t size) { size_ = size <= capacity_ ? size : capacity_; }

private:
    char* data_;
    size_t size_;
    size_t capacity_;
};
