#pragma once
// Bytes placed at the very end of a readable page, followed by a page that
// cannot be read: any read past the bytes crashes the test at once.

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <vector>

class GuardedBuffer {
public:
    explicit GuardedBuffer(const std::vector<unsigned char>& bytes) { Place(bytes.data(), bytes.size()); }
    GuardedBuffer(std::initializer_list<unsigned char> bytes) : GuardedBuffer(std::vector<unsigned char>(bytes)) {}
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
    ~GuardedBuffer()
    {
        if (m_base)
            ::munmap(m_base, m_mapped);
    }

    const unsigned char* data() const { return m_data; }
    int size() const { return int(m_size); }

private:
    void Place(const unsigned char* bytes, size_t n)
    {
        size_t page = size_t(::sysconf(_SC_PAGESIZE));
        size_t pages = (n + page - 1) / page + 1;
        m_mapped = (pages + 1) * page;
        void* p = ::mmap(nullptr, m_mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::runtime_error("mmap");
        m_base = static_cast<unsigned char*>(p);
        unsigned char* guard = m_base + pages * page;
        ::mprotect(guard, page, PROT_NONE);
        m_data = guard - n;
        if (n)
            std::memcpy(m_data, bytes, n);
        m_size = n;
    }

    unsigned char* m_base = nullptr;
    size_t m_mapped = 0;
    unsigned char* m_data = nullptr;
    size_t m_size = 0;
};
