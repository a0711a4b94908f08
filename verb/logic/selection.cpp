#include "selection.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "dump_probe.h"
#include "file_failure.h"
#include "platform.h"
#include "rastrex.h"
#include "single_conversion.h"
#include "stream.h"

namespace rastrex::verb {

namespace {

constexpr std::string_view kListOption = "--files-from=";

// Whether the file of `item` is a dump: by its name, or else by its header
// (a header the library refuses counts; a file that is plainly none, or
// that the planner found no regular file or could not open, does not).
bool isDump(const cli::Item& item, DumpProbe& probe)
{
    if (cli::isDumpName(item.dump))
        return true;
    if (item.action == cli::Item::Action::Fail)
        return false;  // not to be opened: perhaps gone, perhaps a pipe that would never answer
    probe = probeDump(item.dump.c_str());
    if (probe.state == DumpProbe::State::NotADump)
        return false;
    return probe.state != DumpProbe::State::Unknown || probe.refusal.fault != HeaderFault::None;
}

// What the user is told of an item the planner failed: the window's words
// for a file that does not open, else the planner's own reason.
std::string planFailureText(const cli::Item& item)
{
    const cli::Looked looked = cli::lookAt(item.dump);
    if (!looked.info) {
        const SystemFailure cause{classifySystemError(looked.error), looked.error};
        return oneLine(cannotOpenText(item.dump, cause));
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(cli::systemPath(cli::toPath(item.dump)), ec))
        return oneLine(cannotOpenText(item.dump, {FileFailure::NotAFile, 0}));
    return oneLine(conversionFailedText(item.dump, item.reason));
}

}  // namespace

std::string oneLine(std::string text)
{
    std::erase(text, '\r');
    return text;
}

Selection gatherSelection(const std::vector<std::string>& args, std::istream* in)
{
    Selection selection;
    cli::Options options;
    options.noClobber = true;  // an existing bitmap is found, and asked about
    bool names = false;        // after "--": every argument names a file
    for (const std::string& arg : args) {
        if (!names && arg == "--") {
            names = true;
        } else if (!names && arg.starts_with(kListOption)) {
            std::string cause = arg.substr(kListOption.size()) != "-" ? "名前は標準入力 (-) からだけ読む。"
                                : "標準入力がない。";
            if (arg.substr(kListOption.size()) != "-" || in == nullptr ||
                !cli::readPathList(*in, options, cause)) {
                selection.listFailure = "変換するファイルの一覧を読めない。" + cause;
                return selection;
            }
        } else {
            options.paths.push_back(arg);
        }
    }
    std::vector<cli::Item> planned = cli::planBatch(options);
    for (cli::Item& item : planned) {
        if (item.action == cli::Item::Action::Note)
            continue;  // a folder holding no dump
        std::string failure;
        DumpProbe probe;
        const bool dump = isDump(item, probe);
        if (!dump && item.action != cli::Item::Action::Fail) {
            item.action = cli::Item::Action::Fail;
            failure = oneLine(conversionFailedText(
                item.dump, conversionFailureReason(RASTREX_ERR_READ_INPUT, {}, probe.refusal)));
        } else if (item.action == cli::Item::Action::Fail) {
            failure = planFailureText(item);
        }
        selection.dumps += dump ? 1 : 0;
        selection.existing += item.action == cli::Item::Action::Skip ? 1 : 0;
        selection.items.push_back(std::move(item));
        selection.failures.push_back(std::move(failure));
    }
    return selection;
}

}  // namespace rastrex::verb
