#include "stream.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <streambuf>
#include <system_error>

#include "batch.h"
#include "path_list.h"
#include "path_rules.h"
#include "platform.h"
#include "rastrex.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

namespace {

// Bytes moved at a time between a stream and a file or a string.
constexpr std::size_t kCopyBytes = 1 << 16;

}  // namespace

bool readPathList(std::istream& list, Options& options, std::string& cause)
{
    std::string bytes;
    const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
    const std::ios::iostate thrown = list.exceptions();
    try {
        // What the list's buffer throws carries the cause; badbit alone
        // would not.
        list.exceptions(thrown | std::ios::badbit);
        while (list) {
            list.read(buffer.get(), kCopyBytes);
            bytes.append(buffer.get(), static_cast<std::size_t>(list.gcount()));
        }
    } catch (const std::system_error& e) {
        cause = e.code().message();
    } catch (const std::exception& e) {
        cause = e.what();
    }
    list.exceptions(thrown);
    if (!list.eof() || list.bad())
        return false;
    decodePathList(std::move(bytes), options);
    return true;
}

namespace {

// Descriptor 0 read in blocks; see standardInput().
class StandardInputBuffer : public std::streambuf {
protected:
    int_type underflow() override
    {
        for (;;) {
#if defined(_WIN32)
            const int got = _read(0, buffer_, static_cast<unsigned>(sizeof buffer_));
#else
            const ssize_t got = ::read(STDIN_FILENO, buffer_, sizeof buffer_);
#endif
            if (got > 0) {
                setg(buffer_, buffer_, buffer_ + got);
                return traits_type::to_int_type(buffer_[0]);
            }
            if (got == 0)
                return traits_type::eof();
            if (errno != EINTR)
                throw std::system_error(errno, std::generic_category(), "cannot read standard input");
        }
    }

private:
    char buffer_[kCopyBytes];
};

enum class Copy { Done, ReadFailed, WriteFailed };

// Copies `from` to its end into `to`; which side failed, if one did. A
// source that fails (an I/O error, not an end) leaves its cause in
// `readError`; with WriteFailed errno tells why.
Copy copyStream(std::istream& from, std::ostream& to, std::string& readError)
{
    const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
    const std::ios::iostate thrown = from.exceptions();
    errno = 0;
    try {
        // What the source's buffer throws carries the cause; badbit alone
        // would not.
        from.exceptions(thrown | std::ios::badbit);
        while (from) {
            from.read(buffer.get(), kCopyBytes);
            const std::streamsize got = from.gcount();
            if (got > 0 && !to.write(buffer.get(), got)) {
                from.exceptions(thrown);
                return Copy::WriteFailed;
            }
        }
    } catch (const std::system_error& e) {
        readError = e.code().message();
    } catch (const std::exception& e) {
        readError = e.what();
    }
    from.exceptions(thrown);
    if (!from.eof() || from.bad())
        return Copy::ReadFailed;
    return to.flush() ? Copy::Done : Copy::WriteFailed;
}

// Why a stream's write failed, from errno.
std::string writeCause()
{
    return std::generic_category().message(errno != 0 ? errno : EIO);
}

// A private folder, removed with whatever is in it.
class Scratch {
public:
    Scratch() : made_(makePrivateFolder()) {}
    ~Scratch()
    {
        if (made_.path) {
            std::error_code ec;
            fs::remove_all(toPath(*made_.path), ec);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const PrivateFolder& made() const { return made_; }
    std::string file(const char* name) const { return *made_.path + kFolderSeparator + name; }

private:
    PrivateFolder made_;
};

bool isRegularFile(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(systemPath(toPath(path)), ec);
}

}  // namespace

std::istream& standardInput()
{
    static StandardInputBuffer buffer;
    static std::istream in(&buffer);
    return in;
}

StreamOutcome convertForStream(const std::string& dump, std::istream* in, std::ostream& out,
                               const std::function<void()>& binary)
{
    StreamOutcome outcome;
    const Scratch scratch;
    if (!scratch.made().path) {
        outcome.failure = "cannot make a temporary folder for the bitmap: " +
                          std::generic_category().message(scratch.made().error);
        return outcome;
    }
    if (binary)
        binary();
    std::string input = dump;
    if (dump == "-" || !isRegularFile(dump)) {
        input = scratch.file("dump.xwd");
        std::ofstream copy(toPath(input), std::ios::binary);
        std::ifstream source;
        std::istream* from = in;
        if (dump != "-") {
            source.open(systemPath(toPath(dump)), std::ios::binary);
            if (!source) {
                outcome.failure = "cannot open the dump: " + std::generic_category().message(errno);
                return outcome;
            }
            from = &source;
        }
        if (from == nullptr || !copy) {
            outcome.failure = from == nullptr ? "there is no standard input to read"
                                              : "cannot copy the dump into " + shownName(input);
            return outcome;
        }
        std::string readError;
        Copy copied = copyStream(*from, copy, readError);
        copy.close();
        if (copied == Copy::Done && !copy)
            copied = Copy::WriteFailed;
        if (copied != Copy::Done) {
            outcome.failure = copied == Copy::ReadFailed
                                  ? "cannot read the dump: " + readError
                                  : "cannot copy the dump into " + shownName(input) + ": " + writeCause();
            return outcome;
        }
    }
    const std::string bitmap = scratch.file("bitmap.bmp");
    Conversion& c = outcome.conversion;
    c = convertDump(input, bitmap);
    if (c.attempted && c.code == RASTREX_ERR_WRITE_OUTPUT) {
        outcome.failure = "cannot write the bitmap into a temporary folder: " + causeText(c.cause, true);
        return outcome;
    }
    if (!c.attempted || c.code != RASTREX_OK)
        return outcome;
    // A pipeline's reader never sees the exit status: a bitmap that lacks
    // part of its picture would pass for a whole one.
    if (!convertedWhole(c)) {
        outcome.failure = failureText(c, "standard output") +
                          "; standard output takes only a whole bitmap, so none was written";
        return outcome;
    }
    std::ifstream written(toPath(bitmap), std::ios::binary);
    std::string readError;
    const Copy sent = written ? copyStream(written, out, readError) : Copy::ReadFailed;
    if (sent == Copy::WriteFailed)
        outcome.failure = "cannot write the bitmap to standard output: " + writeCause();
    else if (sent == Copy::ReadFailed)
        outcome.failure = "cannot read back the bitmap " + shownName(bitmap);
    if (sent != Copy::Done)
        out.clear();  // said here, once
    return outcome;
}

}  // namespace rastrex::cli
