// zorvexa-analyze: runs exercise videos through the motion pipeline without a camera or
// a display and prints the strokes it recognises.
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
#include "tools/analyze/ScoreRun.h"
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
        "  --help    show this text\n"
        "\n"
        "       zorvexa-analyze --score FOLDER [--recognizer classic|robust] [--details]\n"
        "                       [--require-precision P] [--require-recall R]\n"
        "                       [--max-distractor-reports N]\n"
        "\n"
        "Scores the recognizer on the ground-truth clips in FOLDER (NAME.avi with\n"
        "NAME.json, as zorvexa-render --dataset writes them): per stroke type the true\n"
        "strokes, those found (TP), missed, the false reports (FP), precision, recall\n"
        "and the median delay from a stroke's end to its report, then the reports on\n"
        "clips without strokes. A stroke is found by the first decision of its type\n"
        "within [start, end + 15]; every other decision is a false report.\n"
        "  --details  also list each clip's misses and false reports\n"
        "  --require-precision P, --require-recall R, --max-distractor-reports N\n"
        "             exit with 3 when all types together fall short of these\n",
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
    std::string scoreFolderPath;
    ScoreOptions scoreOptions;
    double requirePrecision = -1.0;
    double requireRecall = -1.0;
    int maxDistractorReports = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--jsonl") {
            jsonl = true;
        } else if ((arg == "--config" || arg == "--window-class") && i + 1 < argc) {
            (arg == "--config" ? configPath : windowClass) = argv[++i];
        } else if (arg == "--score" && i + 1 < argc) {
            scoreFolderPath = argv[++i];
        } else if (arg == "--details") {
            scoreOptions.details = true;
        } else if ((arg == "--require-precision" || arg == "--require-recall" ||
                    arg == "--max-distractor-reports") &&
                   i + 1 < argc) {
            char* end = nullptr;
            const double v = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(v >= 0.0) || v > 1e6) {
                std::fprintf(stderr, "zorvexa-analyze: %s needs a number, not %s\n", arg.c_str(),
                             argv[i]);
                return 2;
            }
            if (arg == "--require-precision")
                requirePrecision = v;
            else if (arg == "--require-recall")
                requireRecall = v;
            else
                maxDistractorReports = static_cast<int>(v);
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
    if (!scoreFolderPath.empty()) {
        if (!files.empty() || jsonl || !configPath.empty()) {
            std::fprintf(stderr, "zorvexa-analyze: --score takes a folder and no videos, "
                                 "--jsonl or --config\n");
            return 2;
        }
        // Each clip is analysed on its own, with a fresh state and stroke counter.
        const ClipAnalyser analyse = [recognizer](const std::string& path,
                                                  const FrameObserver& onFrame) {
            AppState clipState;
            StrokeCounter clipStrokes;
            return analyseVideo(path, clipState, clipStrokes, onFrame, {}, recognizer);
        };
        scoreOptions.recognizerName = recognizer == RecognizerKind::Robust ? "robust" : "classic";
        const ScoreSummary s = scoreFolder(scoreFolderPath, analyse, scoreOptions, stdout);
        if (s.failures > 0)
            return 1;
        bool shortOf = false;
        const double precision = precisionOf(s.overall);
        const double recall = recallOf(s.overall);
        if (requirePrecision >= 0 && precision < requirePrecision) {
            std::printf("precision %.3f is below the required %.3f\n", precision, requirePrecision);
            shortOf = true;
        }
        if (requireRecall >= 0 && recall < requireRecall) {
            std::printf("recall %.3f is below the required %.3f\n", recall, requireRecall);
            shortOf = true;
        }
        if (maxDistractorReports >= 0 && s.distractorReports > maxDistractorReports) {
            std::printf("%d reports on clips without strokes, more than the allowed %d\n",
                        s.distractorReports, maxDistractorReports);
            shortOf = true;
        }
        return shortOf ? 3 : 0;
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
