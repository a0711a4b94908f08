// rastrex-convert: the dumps a file manager or Explorer hands over, converted
// with a progress window, one overwrite question and one summary. This is
// what its logic asks of a front end (Qt on Linux, Win32 on Windows), and
// the entry point the front end calls.
//
// Threads: runVerb() does not return before the run is over, so a front end
// calls it on a thread of its own and keeps its event loop on the UI thread.
// runVerb() converts on worker threads and calls every member of VerbUi but
// cancelRequested() on the thread that called it, one call at a time; the
// front end marshals them to its UI thread (Qt: a blocking queued call,
// Win32: SendMessage) and, for askOverwrite(), waits for the answer there.
// A test calls runVerb() on its own thread with a scripted VerbUi that
// answers at once: no waiting, no sleeps.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace rastrex::verb {

// Where the run is, for the progress window.
struct Progress {
    std::size_t done = 0;   // files finished, whatever came of them
    std::size_t total = 0;  // files to convert (known once the question is answered)
    std::string current;    // the file in hand (the one last started), as it was named
};

// What came of the whole run, told once at its end.
struct Summary {
    std::size_t converted = 0;     // whole bitmaps written
    std::size_t cutShort = 0;      // dumps that end early: their bitmaps written, black where they end
    std::size_t notConverted = 0;  // nothing written for them, each with its cause in `text`
    std::size_t kept = 0;          // existing bitmaps kept at the user's word ("no")
    std::size_t notStarted = 0;    // files left when 中止 was pressed
    // The summary as the user reads it, in Japanese, lines separated by
    // '\n': the counts, then one line for each dump cut short or not
    // converted, in the words the window uses for them.
    std::string text;
};

class VerbUi {
public:
    virtual ~VerbUi() = default;

    // The progress window: the file in hand and the bar (done of total).
    // Called whenever either changes, several changes told at once when the
    // conversions run ahead of the window.
    virtual void showProgress(const Progress& progress) = 0;

    // Whether 中止 was pressed. Called from the worker threads before each
    // file they take, so it must be safe on any thread (an atomic flag set
    // by the button). Once it says yes, no further file is started; the
    // files in hand are finished, so every bitmap written is complete.
    virtual bool cancelRequested() = 0;

    // The one question for the whole selection, asked before any file is
    // converted and only when `existing` (> 0) bitmaps are already there:
    // overwriteQuestion(existing). Yes (true): they are all replaced. No
    // (false): they are all kept untouched, and the rest are converted.
    virtual bool askOverwrite(std::size_t existing) = 0;

    // The one summary at the end of a run that converted or tried anything.
    virtual void showSummary(const Summary& summary) = 0;

    // A message with only an OK button, shown instead of any progress:
    // the selection holds no dump (kNoDumpText; nothing is converted), or
    // the list of names on standard input cannot be read.
    virtual void tell(const std::string& text) = 0;
};

struct VerbSettings {
    // Files converted at once; 0: as many as xwd2bmp converts by default.
    unsigned jobs = 0;
};

// The exit status of rastrex-convert.
enum class VerbStatus : int {
    Success = 0,  // every dump converted, or kept at the user's word
    Failure = 1,  // a dump was cut short or not converted, the run was stopped, or there was no dump
    Usage = 2,    // the list of names on standard input cannot be read
};

// The whole program but for its process and its windows. `args` are the
// command-line arguments after the program's name: the files to convert
// (Exec=rastrex-convert %F), or "--files-from=-" to read their names from
// `in`, one a line, in any encoding xwd2bmp's --files-from reads (UTF-8,
// or UTF-16 after its byte-order mark, as Explorer's handler writes them).
// "--" ends the options. Nothing is ever moved to the trash.
VerbStatus runVerb(const std::vector<std::string>& args, std::istream* in, VerbUi& ui,
                   const VerbSettings& settings = {});

}  // namespace rastrex::verb
