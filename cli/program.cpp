// The whole program but for its process: the command line read and checked,
// the batch planned and run.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "batch.h"
#include "platform.h"
#include "stream.h"

namespace rastrex::cli {

namespace fs = std::filesystem;

ExitStatus runProgram(int argc, const char* const* argv, const Reporting& reporting)
{
    const ParseOutcome parsed = parseCommandLine(argc, argv, reporting.out, reporting.err);
    if (!parsed.options)
        return parsed.status;
    Options options = std::move(*parsed.options);
    const auto usage = [&reporting](const std::string& message) {
        reporting.err << kProgram << ": " << message << '\n'
                      << "Try '" << kProgram << " --help' for more information.\n";
        return ExitStatus::Usage;
    };
    if (options.toStdout) {
        if (reporting.outIsTerminal)
            return usage(std::string(options.fromStdin ? "-" : "--stdout") +
                         ": standard output is a terminal; redirect it to a file or a pipe");
        std::error_code ec;
        if (!options.fromStdin && fs::is_directory(systemPath(toPath(options.paths.front())), ec))
            return usage("--stdout: " + shownName(options.paths.front()) +
                         " is a folder; name one dump");
        if (options.fromStdin && reporting.in == nullptr)
            return usage("-: there is no standard input to read");
    }
    if (options.filesFrom) {
        const std::string& name = *options.filesFrom;
        std::ifstream file;
        std::istream* list = reporting.in;
        if (name != "-") {
            file.open(systemPath(toPath(name)), std::ios::binary);
            if (!file)
                return usage("--files-from: cannot open " + shownName(name) + ": " +
                             std::generic_category().message(errno != 0 ? errno : EIO));
            list = &file;
        } else if (list == nullptr) {
            return usage("--files-from: there is no standard input to read");
        } else if (reporting.binary) {
            reporting.binary();
        }
        std::string cause;
        if (!readPathList(*list, options, cause))
            return usage("--files-from: cannot read " +
                         (name == "-" ? std::string("standard input") : shownName(name)) +
                         (cause.empty() ? "" : ": " + cause));
    }
    if (options.outputDir) {
        std::error_code ec;
        const fs::path dir = toPath(*options.outputDir);
        if (fs::exists(systemPath(dir), ec) && !fs::is_directory(systemPath(dir), ec))
            return usage("--output-dir: " + shownName(*options.outputDir) + " is a file, not a folder");
        if (const std::string kind = deviceFileSystem(*options.outputDir); !kind.empty())
            return usage("--output-dir: " + shownName(*options.outputDir) +
                         " lies in a file system of devices or processes (" + kind + ")");
        if (const std::string failure = makeFolders(dir); !failure.empty()) {
            reporting.err << kProgram << ": cannot create the folder " << shownName(*options.outputDir)
                          << ": " << failure << '\n';
            return ExitStatus::Failure;
        }
    }
    const std::vector<Item> items = planBatch(options);
    options.paths = {};  // each is in its item now
    return runBatch(items, options, reporting);
}

}  // namespace rastrex::cli
