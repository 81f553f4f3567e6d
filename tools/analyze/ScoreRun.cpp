#include "tools/analyze/ScoreRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "main/motion/MotionDir.h"
#include "tools/analyze/GroundTruth.h"

namespace zorvexa {

namespace {

namespace fs = std::filesystem;

std::string ratio(double v) {
    if (v < 0)
        return "-";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string delay(const std::vector<int>& delays) {
    if (delays.empty())
        return "-";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", medianOf(delays));
    return buf;
}

void printRow(FILE* out, const char* name, const TypeTally& t) {
    std::fprintf(out, "%-10s %7d %5d %6d %5d %9s %6s %7s\n", name, t.strokes, t.found, t.missed,
                 t.falseReports, ratio(precisionOf(t)).c_str(), ratio(recallOf(t)).c_str(),
                 delay(t.delays).c_str());
}

std::string describe(const std::vector<StrokeReport>& reports) {
    std::string s;
    for (const StrokeReport& r : reports)
        s += std::string(s.empty() ? "" : ", ") + directionName(r.type) + "@" +
             std::to_string(r.frame);
    return s;
}

// One clip's mistakes: the strokes it missed and the false reports.
std::string mistakes(const std::vector<TruthStroke>& truth,
                     const std::vector<StrokeReport>& reports) {
    const StrokeMatch m = matchStrokes(truth, reports);
    std::string s;
    for (size_t t = 0; t < truth.size(); ++t)
        if (m.reportOfTruth[t] < 0)
            s += std::string(s.empty() ? "" : ", ") + "missed " + directionName(truth[t].type) +
                 " " + std::to_string(truth[t].start) + "-" + std::to_string(truth[t].end);
    for (size_t r = 0; r < reports.size(); ++r)
        if (m.truthOfReport[r] < 0)
            s += std::string(s.empty() ? "" : ", ") + "false " + directionName(reports[r].type) +
                 "@" + std::to_string(reports[r].frame);
    return s;
}

} // namespace

std::vector<std::string> groundTruthFiles(const std::string& folder, std::string& error) {
    std::vector<std::string> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        error = "cannot read the folder " + folder + ": " + ec.message();
        return files;
    }
    for (const fs::directory_entry& e : it)
        if (e.path().extension() == ".json")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    if (files.empty())
        error = "no ground-truth files (NAME.json beside NAME.avi) in " + folder;
    return files;
}

ScoreSummary scoreFolder(const std::string& folder, const ClipAnalyser& analyse,
                         const ScoreOptions& options, FILE* out) {
    ScoreSummary summary;
    std::string error;
    const std::vector<std::string> files = groundTruthFiles(folder, error);
    if (!error.empty()) {
        std::fprintf(stderr, "zorvexa-analyze: %s\n", error.c_str());
        summary.failures = 1;
        return summary;
    }

    ScoreTally tally;
    std::vector<std::string> distractorLines;
    int strokeClips = 0;
    for (const std::string& jsonPath : files) {
        const fs::path p(jsonPath);
        const std::string name = p.stem().string();
        std::ifstream in(jsonPath);
        std::stringstream text;
        text << in.rdbuf();
        const TruthFile truth = parseTruth(text.str());
        if (!in || !truth.ok) {
            std::fprintf(stderr, "zorvexa-analyze: %s: %s\n", jsonPath.c_str(),
                         truth.ok ? "cannot be read" : truth.error.c_str());
            ++summary.failures;
            continue;
        }
        const std::string video = (p.parent_path() / (name + ".avi")).string();
        std::vector<StrokeReport> reports;
        const VideoAnalysisResult r = analyse(video, [&reports](const AnalysedFrame& f) {
            if (f.direction != 0)
                reports.push_back(StrokeReport{f.frame, f.direction});
        });
        if (!r.error.empty()) {
            std::fprintf(stderr, "zorvexa-analyze: %s\n", r.error.c_str());
            ++summary.failures;
            continue;
        }
        ++summary.clips;
        tally.add(truth.strokes, reports);
        if (truth.strokes.empty()) {
            ++summary.distractorClips;
            summary.distractorReports += static_cast<int>(reports.size());
            if (!reports.empty())
                distractorLines.push_back("  " + name + ": " + describe(reports));
        } else {
            ++strokeClips;
            if (options.details) {
                const std::string m = mistakes(truth.strokes, reports);
                if (!m.empty())
                    std::fprintf(out, "%s: %s\n", name.c_str(), m.c_str());
            }
        }
    }

    summary.overall = tally.overall();
    std::fprintf(out, "%d clips in %s (%d with %d strokes, %d without), recognizer %s\n",
                 summary.clips, folder.c_str(), strokeClips, summary.overall.strokes,
                 summary.distractorClips,
                 options.recognizerName.empty() ? "classic" : options.recognizerName.c_str());
    std::fprintf(out, "%-10s %7s %5s %6s %5s %9s %6s %7s\n", "type", "strokes", "TP", "missed",
                 "FP", "precision", "recall", "delay");
    // The five strokes always, any other type that was reported.
    static const int kMain[] = {kDirUp, kDirDown, kDirDownLeft, kDirDownRight, kDirToCenter};
    const auto& byType = tally.byType();
    for (int type : kMain) {
        const auto it = byType.find(type);
        printRow(out, directionName(type), it == byType.end() ? TypeTally{} : it->second);
    }
    for (const auto& [type, t] : byType)
        if (std::find(std::begin(kMain), std::end(kMain), type) == std::end(kMain))
            printRow(out, directionName(type), t);
    printRow(out, "all", summary.overall);
    std::fprintf(out, "(delay: median frames from a stroke's end to its report)\n");
    std::fprintf(out, "clips without strokes: %d, reports on them: %d\n", summary.distractorClips,
                 summary.distractorReports);
    for (const std::string& line : distractorLines)
        std::fprintf(out, "%s\n", line.c_str());
    return summary;
}

} // namespace zorvexa
