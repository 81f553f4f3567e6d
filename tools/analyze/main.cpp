// zorvexa-analyze: runs exercise videos through the motion pipeline without a camera or
// a display and prints the strokes it recognises.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "main/motion/MotionDir.h"
#include "main/shell/AppState.h"
#include "tools/analyze/JsonLine.h"
#include "tools/analyze/VideoAnalysis.h"

using namespace zorvexa;

namespace {

void usage(FILE* out) {
    std::fputs(
        "Usage: zorvexa-analyze [--jsonl] VIDEO...\n"
        "\n"
        "Runs each video through the motion pipeline and prints one line per\n"
        "recognised stroke (frame number and stroke name), then the strokes counted\n"
        "for the calorie counter.\n"
        "\n"
        "  --jsonl   print one JSON object per frame read instead:\n"
        "            {\"frame\", \"count\", \"segments\": [{\"x\",\"y\",\"w\",\"h\",\"angle\"}],"
        " \"direction\"}\n"
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
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--jsonl") {
            jsonl = true;
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

    AppState state;
    StrokeCounter strokes; // one last-stroke time for the whole run, as in the program
    const bool showProgress = !quiet && isatty(STDERR_FILENO);
    int failures = 0;

    for (const std::string& path : files) {
        int before[kStrokeKinds];
        for (int i = 0; i < kStrokeKinds; ++i)
            before[i] = state.strokeCount(i);
        if (!jsonl)
            std::printf("file: %s\n", path.c_str());

        auto onFrame = [&](const AnalysedFrame& f) {
            if (jsonl) {
                std::puts(frameJsonLine(f.frame, f.count, *f.segments, f.direction).c_str());
            } else if (f.direction != 0) {
                std::printf("frame %d: %s\n", f.frame, directionName(f.direction));
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
        const VideoAnalysisResult r = analyseVideo(path, state, strokes, onFrame, onProgress);
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
