// Scoring a folder: each NAME.json is paired with NAME.avi, the analyser's decisions are
// matched against it, clips without strokes are told apart, broken files are failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "main/motion/MotionDir.h"
#include "tools/analyze/ScoreRun.h"

namespace zorvexa {
namespace {

namespace fs = std::filesystem;

class ScoreFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(ZORVEXA_TEST_OUTPUT) / "score-folder";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
    }
    // Pretends to analyse: the decisions per video file name.
    ClipAnalyser fake(std::map<std::string, std::vector<StrokeReport>> decisions) {
        return [decisions, this](const std::string& path, const FrameObserver& onFrame) {
            analysed_.push_back(fs::path(path).filename().string());
            VideoAnalysisResult r;
            r.opened = true;
            const auto it = decisions.find(fs::path(path).filename().string());
            if (it == decisions.end()) {
                r.error = "cannot open " + path;
                return r;
            }
            for (const StrokeReport& d : it->second) {
                AnalysedFrame f;
                f.frame = d.frame;
                f.direction = d.type;
                onFrame(f);
            }
            r.framesRead = 100;
            return r;
        };
    }
    ScoreSummary score(const ClipAnalyser& analyse) {
        FILE* sink = std::tmpfile();
        const ScoreSummary s = scoreFolder(dir_.string(), analyse, ScoreOptions{true, "x"}, sink);
        std::fclose(sink);
        return s;
    }
    fs::path dir_;
    std::vector<std::string> analysed_;
};

TEST_F(ScoreFolder, PairsTruthWithVideosAndTalliesDistractorsApart) {
    write("a.json", "[{\"type\": \"UP\", \"start\": 10, \"end\": 20}]");
    write("b_still.json", "[]");
    write("notes.txt", "not a clip");
    const ScoreSummary s =
        score(fake({{"a.avi", {{15, kDirUp}, {18, kDirUp}}}, {"b_still.avi", {{40, kDirDown}}}}));
    EXPECT_EQ(analysed_, (std::vector<std::string>{"a.avi", "b_still.avi"}));
    EXPECT_EQ(s.clips, 2);
    EXPECT_EQ(s.failures, 0);
    EXPECT_EQ(s.distractorClips, 1);
    EXPECT_EQ(s.distractorReports, 1);
    EXPECT_EQ(s.overall.found, 1);
    EXPECT_EQ(s.overall.falseReports, 2);
}

TEST_F(ScoreFolder, BrokenTruthAndUnreadableVideosAreFailuresNotScores) {
    write("a.json", "[{\"type\": \"UP\", \"start\": 10}]");
    write("b.json", "[]");
    const ScoreSummary s = score(fake({}));
    EXPECT_EQ(s.failures, 2);
    EXPECT_EQ(s.clips, 0);
    EXPECT_EQ(analysed_, std::vector<std::string>{"b.avi"}); // a.json was not trusted
}

TEST_F(ScoreFolder, AnEmptyOrMissingFolderIsAFailure) {
    EXPECT_EQ(score(fake({})).failures, 1);
    fs::remove_all(dir_);
    EXPECT_EQ(score(fake({})).failures, 1);
}

} // namespace
} // namespace zorvexa
