#include "options.h"

#include <algorithm>
#include <thread>

#include <CLI/CLI.hpp>

#ifndef RASTREX_VERSION
#define RASTREX_VERSION "0"
#endif

namespace rastrex::cli {

namespace {

constexpr const char* kProgram = "xwd2bmp";

void printHelp(std::ostream& out)
{
    out << "Usage: " << kProgram << " [OPTION]... PATH...\n"
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
           "Mandatory arguments to long options are mandatory for short options too.\n"
           "  -o, --output-dir=DIR  write the bitmaps into DIR, created if missing; a dump\n"
           "                          found in a subfolder of a folder PATH goes to the\n"
           "                          same subfolder of DIR\n"
           "  -r, --recursive       take the dumps of the subfolders of each folder too\n"
           "                          (links to folders are not followed)\n"
           "  -n, --no-clobber      skip a dump whose bitmap already exists\n"
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
           "Exit status:\n"
           " 0  every dump was converted (or skipped with -n)\n"
           " 1  at least one dump could not be converted, or a path could not be reached\n"
           " 2  the command line is wrong\n"
           "\n"
           "Examples:\n"
        << "  " << kProgram << " shot.xwd              write shot.bmp\n"
        << "  " << kProgram << " -r -o bitmaps runs    convert every dump under runs into\n"
        << "                                  bitmaps, keeping the subfolders\n";
}

void printVersion(std::ostream& out)
{
    out << kProgram << " (rastrex) " << RASTREX_VERSION << '\n';
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
    if (options.paths.empty()) {
        err << kProgram << ": missing PATH\n"
            << "Try '" << kProgram << " --help' for more information.\n";
        return {std::nullopt, ExitStatus::Usage};
    }
    if (options.outputDir && options.outputDir->empty()) {
        err << kProgram << ": the output folder is an empty name\n"
            << "Try '" << kProgram << " --help' for more information.\n";
        return {std::nullopt, ExitStatus::Usage};
    }
    return {std::move(options), ExitStatus::Success};
}

}  // namespace rastrex::cli
