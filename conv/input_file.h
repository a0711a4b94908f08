// The dump being read: a buffered stream opened "rb", closed on destruction,
// or bytes a caller delivers by offset (a ByteSource). It is read from the
// front (header, window name, colour map, and, when it cannot be read by
// offset, the pixel area), and a regular file's pixel area by offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace rastrex {

// Bytes read from the dump into one heap block.
struct ByteBlock {
    struct Free {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    std::unique_ptr<unsigned char, Free> data;
    std::uint64_t size = 0;
};

// Bytes of a dump that are not in a file of their own: a shell's stream, a
// block in memory. Read from the front through read(), and by offset when
// the size is known.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `n` bytes at the current position, which moves past them;
    // returns how many arrived (fewer at the end, 0 on a failure).
    virtual std::size_t read(unsigned char* into, std::size_t n) = 0;
    // The size in bytes when the bytes can be read by offset; nothing for a
    // source that can only be read from the front.
    virtual std::optional<std::uint64_t> size() = 0;
    // Reads up to `n` bytes from byte `offset`; returns how many arrived.
    // Only called when size() tells a size. The position read() uses may move.
    virtual std::uint64_t readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n) = 0;
};

class InputFile {
public:
    // Any path the system allows, at any length.
    explicit InputFile(const char* path);
    // The bytes of `source`, which must outlive this and stand at its start.
    explicit InputFile(ByteSource& source);
    ~InputFile() { close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return file_ != nullptr || source_ != nullptr; }
    // Why the dump did not open (see system_error.h); 0 when it did.
    int openError() const { return openError_; }
    void close();

    // Reads up to `n` bytes; returns how many arrived.
    std::size_t read(void* into, std::size_t n);

    // Reads and drops up to `n` bytes; returns how many there were.
    std::uint64_t skip(std::uint64_t n);

    // Reads up to `n` bytes into a new block of `n` bytes (its size says how
    // many arrived). False when the block cannot be allocated.
    bool readBlock(std::uint64_t n, ByteBlock& block);

    // Hands the bytes of `block` from byte `from` on back to the stream:
    // the reads that follow deliver them first.
    void unread(ByteBlock block, std::uint64_t from);

    // Where the next byte read from the front lies, from the start of the file.
    std::uint64_t position() const { return position_; }

    // The file's size when it is a regular file, which can then be read by
    // offset; nothing for pipes, devices and the like.
    std::optional<std::uint64_t> regularSize();

    // Reads up to `n` bytes from byte `offset` of the file, wherever the
    // front stands; returns how many arrived. Regular files only.
    std::uint64_t readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n);

private:
    std::size_t readFront(unsigned char* into, std::size_t n);

    int openError_ = 0;
    std::FILE* file_ = nullptr;
    ByteSource* source_ = nullptr;
    std::uint64_t sourceAt_ = 0;  // where the front stands in the source
    std::uint64_t position_ = 0;
    ByteBlock pending_;  // handed back by unread()
    std::uint64_t pendingAt_ = 0;
};

}  // namespace rastrex
