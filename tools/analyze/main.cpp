// zorvexa-analyze: runs exercise videos through the motion pipeline without a camera or
// a display and prints the strokes it recognises.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "main/motion/MotionDir.h"
#include "main/shell/AppState.h"
#include "platform/Desktop.h"
#include "tools/analyze/DispatchReport.h"
#include "tools/analyze/JsonLine.h"
#include "tools/analyze/VideoAnalysis.h"

using namespace zorvexa;

namespace {

void usage(FILE* out) {
    std::fputs(
        "Usage: zorvexa-analyze [--jsonl] [--recognizer classic|robust]\n"
        "                       [--config FILE [--window-class NAME | --dispatch]] VIDEO...\n"
        "\n"
        "Runs each video through the motion pipeline and prints one line per\n"
        "recognised stroke (frame number and stroke name), then the strokes counted\n"
        "for the calorie counter.\n"
        "\n"
        "  --jsonl   print one JSON object per frame read instead:\n"
        "            {\"frame\", \"count\", \"segments\": [{\"x\",\"y\",\"w\",\"h\",\"angle\"}],"
        " \"direction\"}\n"
        "  --recognizer NAME    the stroke recognizer: classic (the default) or robust;\n"
        "                       with robust, --jsonl shows the moving pixels' box on\n"
        "                       each side of the body as segments\n"
        "  --config FILE        also show what the gesture configuration FILE (a\n"
        "                       config.xml) does with each stroke; a dry run through a\n"
        "                       recording desktop, nothing is sent\n"
        "  --window-class NAME  class of the window in front for the dry run\n"
        "                       (default: \"default\")\n"
        "  --advanced           use the advanced modes (Beginner Settings off)\n"
        "  --dispatch           send the actions for real to the window in front of the\n"
        "                       running desktop, at the video's own pace\n"
        "  --quiet   no progress line on standard error\n"
        "  --help    show this text\n",
        out);
}

const int kSummaryOrder[] = {kDirUp,       kDirUpLeft,      kDirUpRight,
                             kDirDown,     kDirDownLeft,    kDirDownRight,
                             kDirToCenter, kDirLeftToRight, kDirRightToLeft};

void printSummary(const AppState& state, const int before[kStrokeKinds]) {
    std::printf("counted:");
    for (int dir : kSummaryOrder) {
        const int i = strokeIndexOf(dir);
        std::printf(" %s=%d", directionName(dir), state.strokeCount(i) - before[i]);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    bool jsonl = false;
    bool quiet = false;
    bool dispatchForReal = false;
    bool advanced = false;
    std::string configPath;
    std::string windowClass = "default";
    RecognizerKind recognizer = RecognizerKind::Classic;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--jsonl") {
            jsonl = true;
        } else if ((arg == "--config" || arg == "--window-class") && i + 1 < argc) {
            (arg == "--config" ? configPath : windowClass) = argv[++i];
        } else if (arg == "--recognizer" && i + 1 < argc) {
            const std::string name = argv[++i];
            if (name != "classic" && name != "robust") {
                std::fprintf(stderr, "zorvexa-analyze: unknown recognizer %s (classic or robust)\n",
                             name.c_str());
                return 2;
            }
            recognizer = name == "robust" ? RecognizerKind::Robust : RecognizerKind::Classic;
        } else if (arg == "--advanced") {
            advanced = true;
        } else if (arg == "--dispatch") {
            dispatchForReal = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--") {
            for (++i; i < argc; ++i)
                files.emplace_back(argv[i]);
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "zorvexa-analyze: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        usage(stderr);
        return 2;
    }

    if (dispatchForReal && configPath.empty()) {
        std::fprintf(stderr, "zorvexa-analyze: --dispatch needs --config FILE\n");
        return 2;
    }

    AppState state;
    state.useBeginnerSettings = !advanced;
    StrokeCounter strokes; // one last-stroke time for the whole run, as in the program
    std::unique_ptr<DispatchReport> report;
    if (!configPath.empty()) {
        report = dispatchForReal ? DispatchReport::live(state, configPath, openSystemDesktop())
                                 : DispatchReport::dryRun(state, configPath, windowClass);
        if (!report->loadError().empty()) {
            std::fprintf(stderr, "zorvexa-analyze: %s\n", report->loadError().c_str());
            return 1;
        }
    }
    const bool showProgress = !quiet && isatty(STDERR_FILENO);
    int failures = 0;

    for (const std::string& path : files) {
        int before[kStrokeKinds];
        for (int i = 0; i < kStrokeKinds; ++i)
            before[i] = state.strokeCount(i);
        if (!jsonl)
            std::printf("file: %s\n", path.c_str());

        auto onFrame = [&](const AnalysedFrame& f) {
            std::string action;
            if (report) {
                action = report->dispatch(f.direction);
                state.mouseMode = false; // strokes keep being dispatched as configured
                if (dispatchForReal && f.fileFps >= 1)
                    std::this_thread::sleep_for(
                        std::chrono::microseconds(static_cast<long long>(1e6 / f.fileFps)));
            }
            if (jsonl) {
                std::puts(frameJsonLine(f.frame, f.count, *f.segments, f.direction).c_str());
            } else if (f.direction != 0) {
                if (action.empty())
                    std::printf("frame %d: %s\n", f.frame, directionName(f.direction));
                else
                    std::printf("frame %d: %s -> %s\n", f.frame, directionName(f.direction),
                                action.c_str());
            }
        };
        auto onProgress = [&](int read, int total) {
            if (showProgress && read % 30 == 0) {
                if (total > 0)
                    std::fprintf(stderr, "\r%s: %d/%d frames", path.c_str(), read, total);
                else
                    std::fprintf(stderr, "\r%s: %d frames", path.c_str(), read);
            }
        };
        const VideoAnalysisResult r =
            analyseVideo(path, state, strokes, onFrame, onProgress, recognizer);
        if (showProgress)
            std::fprintf(stderr, "\r\033[K");
        if (!r.error.empty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "zorvexa-analyze: %s\n", r.error.c_str());
            ++failures;
        }
        if (!jsonl)
            printSummary(state, before);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
