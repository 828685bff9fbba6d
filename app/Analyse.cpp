// `vokrec analyse`: runs the analysis of the "Record Item" dialog on WAV
// files and prints one JSON object per file. A single file without corpus
// options prints the object of the original one-file command; otherwise the
// files run on worker threads, their lines come in input order with the level
// figures, a failed file gets an error line and the run goes on.
#include "Analyse.h"

#include "AnalyseArgs.h"
#include "AnalyseInputs.h"
#include "AnalyseJson.h"
#include "AnalyseLine.h"
#include "AnalyseProgress.h"
#include "AnalyseRunner.h"
#include "AnalyseSummary.h"

#include <cstdio>
#include <exception>
#include <unistd.h>

namespace {
int Fail(const std::string& what) {
    std::fprintf(stderr, "vokrec analyse: %s\n", what.c_str());
    return 2;
}

// One file, as the original command: its object, or only the error and status 2.
int RunSingle(const std::string& path, const ANALYSE_ARGS& args) {
    const ANALYSE_RESULT r = AnalyseFile(path, args);
    if (!r.error.empty()) {
        std::fputs(ErrorMessage(path, r.error).c_str(), stderr);
        return 2;
    }
    std::fputs(ResultLine(path, r, false).c_str(), stdout);
    return 0;
}

int RunCorpus(const std::vector<ANALYSE_INPUT>& inputs, const ANALYSE_ARGS& args) {
    const bool stdoutTerminal = isatty(STDOUT_FILENO);
    ANALYSE_PROGRESS progress(inputs.size(), isatty(STDERR_FILENO));
    ANALYSE_SUMMARY summary;
    long failed = 0;

    auto work = [&](size_t i) {
        ANALYSE_RESULT r;
        r.error = inputs[i].error;
        if (!r.error.empty()) return r;
        try {
            return AnalyseFile(inputs[i].path, args);
        } catch (const std::exception& e) { // out of memory, or a thread's resources
            r.error = std::string("analysis failed: ") + e.what();
            return r;
        }
    };
    auto done = [&](size_t i, ANALYSE_RESULT& r) {
        const std::string& path = inputs[i].path;
        if (!r.error.empty()) {
            ++failed;
            progress.Clear();
            std::fputs(ErrorMessage(path, r.error).c_str(), stderr);
        }
        if (stdoutTerminal) progress.Clear(); // the line shares the screen
        std::fputs(ResultLine(path, r, true).c_str(), stdout);
        if (stdoutTerminal) std::fflush(stdout);
        summary.Add(r);
        progress.SetDone(i + 1);
        progress.Draw(i + 1 == inputs.size());
    };
    progress.Draw(true);
    RunInOrder(inputs.size(), args.jobs > 0 ? args.jobs : CoreCount(), work, done,
               [&] { progress.Draw(); });
    progress.Clear();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("cannot write the output");
    if (args.bSummary) std::fputs(summary.Table().c_str(), stderr);
    return failed > 0 ? 1 : 0;
}
} // namespace

int RunAnalyse(int argc, char** argv) {
    ANALYSE_ARGS args;
    const std::string problem = ParseAnalyseArgs(argc, argv, args);
    if (!problem.empty()) return Fail(problem);
    if (args.bHelp) {
        std::fputs(kAnalyseHelp, stdout);
        return 0;
    }
    if (!args.bCorpus && !IsFolder(args.sources[0].text))
        return RunSingle(args.sources[0].text, args);

    std::vector<ANALYSE_INPUT> inputs;
    const std::string listProblem = ExpandAnalyseInputs(args, inputs);
    if (!listProblem.empty()) return Fail(listProblem);
    return RunCorpus(inputs, args);
}
