// The machine's services as the window's logic tests script them: a trash
// that is a folder of the test's own, a file system whose every open finds
// one state, and a library that records its calls.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "services.h"

namespace rastrex::test {

namespace fs = std::filesystem;

// A recycle bin that moves files into a folder of the test's own, or
// refuses with a reason, or (as the shell) is declined by the user.
class FolderRecycleBin final : public RecycleBin {
public:
    explicit FolderRecycleBin(fs::path folder) : folder_(std::move(folder)) { fs::create_directories(folder_); }
    std::vector<std::string> asked;
    std::string refusal;  // non-empty: refuse with this reason
    bool refusalShown = false;  // the refusal was shown in the platform's own box
    bool shellAsks = false;
    bool declines = false;  // the user answers No in the shell's own question

    bool asksItself() const override { return shellAsks; }
    Outcome moveToTrash(const std::string& path, NativeHandle) override
    {
        asked.push_back(path);
        if (declines)
            return {false, {}};
        if (!refusal.empty())
            return {false, refusal, refusalShown};
        std::error_code ec;
        fs::rename(path, folder_ / fs::path(path).filename(), ec);
        if (ec)
            return {false, ec.message()};
        return {true, {}};
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    fs::path folder_;
};

// A file system in which every open finds `state`.
class FixedFileSystem final : public FileSystem {
public:
    SystemFailure state;
    SystemFailure openForReading(const std::string&) override { return state; }
};

// A library that binds and records its calls, returning a fixed result
// without writing anything; or passes them on to another library.
class RecordingLibrary final : public ConverterLibrary {
public:
    explicit RecordingLibrary(ConverterLibrary* inner = nullptr) : inner_(inner) {}
    std::vector<std::string> converted;  // source paths, in call order
    std::int32_t result = 0;
    SystemFailure failure;  // told with result
    int binds = 0;
    std::function<void(const std::string& source)> onConvert;

    bool bind(std::string* reason) override
    {
        ++binds;
        return inner_ ? inner_->bind(reason) : true;
    }
    std::int32_t convert(const std::string& xwd, const std::string& bmp) override
    {
        converted.push_back(xwd);
        if (onConvert)
            onConvert(xwd);
        return inner_ ? inner_->convert(xwd, bmp) : result;
    }
    SystemFailure failureCause() const override { return inner_ ? inner_->failureCause() : failure; }

private:
    ConverterLibrary* inner_;
};

}  // namespace rastrex::test
