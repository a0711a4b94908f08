// The dump being read: a buffered stream opened "rb", closed on destruction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace rastrex {

// Bytes read from the dump into one heap block.
struct ByteBlock {
    struct Free {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    std::unique_ptr<unsigned char, Free> data;
    std::uint64_t size = 0;
};

class InputFile {
public:
    explicit InputFile(const char* path) : file_(std::fopen(path, "rb")) {}
    ~InputFile() { close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void close();

    // Reads up to `count` items of `size` bytes; returns the whole items delivered.
    std::size_t read(void* into, std::size_t size, std::size_t count);

    // Reads and drops up to `n` bytes; returns how many there were.
    std::uint64_t skip(std::uint64_t n);

    // Reads up to `limit` bytes, stopping at the end of the file, into a
    // block no larger than what arrives (when the file's size is known) or
    // than twice that (when it is not). False when memory runs out.
    bool readBlock(std::uint64_t limit, ByteBlock& block);

    // Reads up to `n` bytes from byte `offset` of the file, wherever the
    // stream stands; returns how many arrived.
    std::uint64_t readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n);

    // The stream's position, from the start of the file.
    std::uint64_t position();

    // Whether the file can be read by offset while `outputPath` is written:
    // it is a regular file and `outputPath` names another one.
    bool readableWhileWriting(const char* outputPath);

    // Bytes left from the current position to the end, or UINT64_MAX when the
    // stream cannot tell (not seekable).
    std::uint64_t remaining();

private:
    std::FILE* file_;
};

}  // namespace rastrex
