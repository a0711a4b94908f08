#include "options.h"

#include <algorithm>
#include <thread>

#include <CLI/CLI.hpp>

#include "path_list.h"
#include "row_path_report.h"
#include "shown_name.h"

#ifndef RASTREX_VERSION
#define RASTREX_VERSION "0"
#endif

namespace rastrex::cli {

namespace {


void printHelp(std::ostream& out)
{
    out << "Usage: " << kProgram << " [OPTION]... PATH...\n"
        << "  or:  " << kProgram << " [OPTION]... --files-from=FILE [PATH]...\n"
        << "  or:  " << kProgram << " [OPTION]... - < DUMP > BITMAP\n"
        << "Convert X Window dumps (XWD) into 24-bit Windows bitmaps (BMP).\n"
           "\n"
           "Each PATH is a dump or a folder. A dump named as a PATH is converted\n"
           "whatever its name; a folder stands for the dumps in it, the files whose\n"
           "names end in .xwd, in any case. Each bitmap is written beside its dump,\n"
           "named after it: the first \".xwd\" in the name and what follows it become\n"
           "\".bmp\"; without one, the first \".XWD\" and what follows become \".BMP\";\n"
           "a name holding neither gets \".BMP\" appended. An existing bitmap is\n"
           "replaced. Dumps are never changed or removed.\n"
           "\n"
           "The PATH - reads one dump from standard input and writes its bitmap to\n"
           "standard output; -c writes the bitmap of the one dump named there. The\n"
           "bitmap reaches standard output whole or not at all, and never a terminal.\n"
           "A PATH that is neither a file nor a folder (a device, a pipe) is refused\n"
           "unless it is the one dump of -c.\n"
           "\n"
           "Mandatory arguments to long options are mandatory for short options too.\n"
           "  -o, --output-dir=DIR  write the bitmaps into DIR, created if missing; a dump\n"
           "                          found in a subfolder of a folder PATH goes to the\n"
           "                          same subfolder of DIR\n"
           "  -r, --recursive       take the dumps of the subfolders of each folder too\n"
           "                          (links to folders are not followed)\n"
           "  -n, --no-clobber      skip a dump whose bitmap already exists\n"
           "  -c, --stdout          write the bitmap of the one dump named to standard\n"
           "                          output instead of beside it\n"
           "      --files-from=FILE\n"
           "                        convert the PATHs listed in FILE too, one a line,\n"
           "                          in UTF-8, or UTF-16 after its byte-order mark;\n"
           "                          FILE - is standard input\n"
           "  -0, --null            the PATHs of --files-from each end in a NUL\n"
           "                          character instead (find's -print0)\n"
           "      --list-encoding=ENC\n"
           "                        read the --files-from list in ENC: utf-8, utf-16\n"
           "                          (little-endian without a byte-order mark) or\n"
           "                          cp932 (Japanese Windows, as cmd writes it)\n"
           "  -j, --jobs=N          convert N files at once (1 to "
        << kMaxJobs << "; default: the number of\n"
        << "                          processors, " << defaultJobs() << " here)\n"
        << "  -q, --quiet           show no progress bar\n"
           "  -v, --verbose         list each file converted or skipped on standard output\n"
           "  -h, --help            display this help and exit\n"
           "      --version         output version information and exit\n"
           "\n"
           "While standard error is a terminal, a progress bar shows the files done,\n"
           "the current file, the speed and the time left, and a run of more than one\n"
           "file ends with a line that counts the files converted, skipped and failed\n"
           "and gives the seconds taken; -q shows neither. Each failure is one line on\n"
           "standard error, PATH: reason (a file that is not an XWD dump, a path that\n"
           "cannot be reached), and the other files are still converted. A folder PATH\n"
           "holding no dump is said there too, but is no failure. Messages come in the\n"
           "order of the files, whatever N is.\n"
           "\n"
           "The environment variable RASTREX_ROWS (plain, ssse3, avx2 or avx512) caps\n"
           "the instruction sets that decode rows; --version shows the one taken.\n"
           "\n"
           "Exit status:\n"
           " 0  every dump was converted (or skipped with -n)\n"
           " 1  at least one dump could not be converted, or a path could not be reached\n"
           " 2  the command line is wrong\n"
           "\n"
           "Examples:\n"
        << "  " << kProgram << " shot.xwd              write shot.bmp\n"
        << "  " << kProgram << " -r -o bitmaps runs    convert every dump under runs into\n"
        << "                                  bitmaps, keeping the subfolders\n"
        << "  xwd -root -silent | " << kProgram << " - > shot.bmp\n"
        << "                                  the screen into shot.bmp\n"
        << "  find runs -name '*.xwd' -print0 | " << kProgram << " -0 --files-from=-\n"
        << "                                  every dump found, in one run\n";
}

void printVersion(std::ostream& out)
{
    out << kProgram << " (rastrex) " << RASTREX_VERSION << '\n'
        << "row path: " << rowPathReport() << '\n';
}

}  // namespace

unsigned defaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, kMaxJobs);
}

ParseOutcome parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                              std::ostream& err)
{
    Options options;
    options.jobs = defaultJobs();
    bool version = false;

    CLI::App app{"Convert X Window dumps into 24-bit Windows bitmaps", kProgram};
    app.set_help_flag("-h,--help");
    app.add_flag("--version", version);
    app.add_option("-o,--output-dir", options.outputDir)->type_name("DIR");
    app.add_flag("-r,--recursive", options.recursive);
    app.add_flag("-n,--no-clobber", options.noClobber);
    app.add_flag("-c,--stdout", options.toStdout);
    app.add_option("--files-from", options.filesFrom)->type_name("FILE");
    app.add_flag("-0,--null", options.nulSeparated);
    std::optional<std::string> listEncoding;
    app.add_option("--list-encoding", listEncoding)->type_name("ENC");
    app.add_option("-j,--jobs", options.jobs)->type_name("N")->check(CLI::Range(1u, kMaxJobs));
    CLI::Option* quiet = app.add_flag("-q,--quiet", options.quiet);
    app.add_flag("-v,--verbose", options.verbose)->excludes(quiet);
    app.add_option("PATH", options.paths);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        printHelp(out);
        return {std::nullopt, ExitStatus::Success};
    } catch (const CLI::ParseError& e) {
        err << kProgram << ": " << e.what() << '\n'
            << "Try '" << kProgram << " --help' for more information.\n";
        return {std::nullopt, ExitStatus::Usage};
    }
    // --version wins over everything else, as --help does; PATH is required
    // only when neither is given, so it is checked here rather than by CLI11.
    if (version) {
        printVersion(out);
        return {std::nullopt, ExitStatus::Success};
    }
    const auto usage = [&err](const std::string& message) -> ParseOutcome {
        err << kProgram << ": " << message << '\n'
            << "Try '" << kProgram << " --help' for more information.\n";
        return {std::nullopt, ExitStatus::Usage};
    };
    if (options.paths.empty() && !options.filesFrom)
        return usage("missing PATH");
    if (options.outputDir && options.outputDir->empty())
        return usage("--output-dir: the output folder is an empty name");
    if (options.filesFrom && options.filesFrom->empty())
        return usage("--files-from: the list is an empty name");
    if (options.nulSeparated && !options.filesFrom)
        return usage("--null: there is no --files-from list to read");
    if (listEncoding && !options.filesFrom)
        return usage("--list-encoding: there is no --files-from list to read");
    if (listEncoding) {
        const std::optional<ListEncoding> named = listEncodingNamed(*listEncoding);
        if (!named)
            return usage("--list-encoding: " + shownName(*listEncoding) + " is none of utf-8, utf-16 and cp932");
        options.listEncoding = *named;
    }
    // The PATH "-" stands for standard input; "./-" names a file called "-".
    const auto dash = std::find(options.paths.begin(), options.paths.end(), "-");
    if (dash != options.paths.end()) {
        if (options.paths.size() > 1 || options.filesFrom)
            return usage("-: standard input is one dump, and must be the only PATH");
        options.paths.clear();
        options.fromStdin = true;
        options.toStdout = true;
    }
    if (options.toStdout) {
        const char* what = options.fromStdin ? "-" : "--stdout";
        if (options.filesFrom)
            return usage(std::string(what) + ": standard output takes one bitmap; --files-from names a list");
        if (!options.fromStdin && options.paths.size() != 1)
            return usage("--stdout: standard output takes one bitmap; name exactly one dump");
        if (options.outputDir)
            return usage(std::string(what) + ": the bitmap goes to standard output, not into --output-dir");
    }
    return {std::move(options), ExitStatus::Success};
}

}  // namespace rastrex::cli
