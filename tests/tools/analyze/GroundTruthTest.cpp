// Reading the ground-truth files the renderer writes.
#include <gtest/gtest.h>

#include "main/motion/MotionDir.h"
#include "tools/analyze/GroundTruth.h"
#include "tools/render/Dataset.h"

namespace zorvexa {
namespace {

TEST(GroundTruth, ReadsWhatTheRendererWrites) {
    const std::vector<render::TruthStroke> written = {
        {kDirUp, 31, 45}, {kDirDownLeft, 120, 131}, {kDirToCenter, 300, 309}};
    const TruthFile read = parseTruth(render::truthJson(written));
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.strokes.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(read.strokes[i].type, written[i].type);
        EXPECT_EQ(read.strokes[i].start, written[i].start);
        EXPECT_EQ(read.strokes[i].end, written[i].end);
    }
    const TruthFile none = parseTruth(render::truthJson({}));
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.strokes.empty());
}

TEST(GroundTruth, IgnoresOtherKeysAndSpacing) {
    const TruthFile f = parseTruth(
        " [ {\"note\": \"x\", \"end\": 9, \"type\":\"DOWN\",\"start\":2, \"id\": -1} ] ");
    ASSERT_TRUE(f.ok) << f.error;
    EXPECT_EQ(f.strokes[0].type, kDirDown);
    EXPECT_EQ(f.strokes[0].start, 2);
    EXPECT_EQ(f.strokes[0].end, 9);
}

TEST(GroundTruth, RejectsWhatItCannotTrust) {
    for (const char* bad : {
             "",
             "{\"type\": \"UP\", \"start\": 1, \"end\": 2}",         // not an array
             "[{\"type\": \"SIDEWAYS\", \"start\": 1, \"end\": 2}]", // unknown type
             "[{\"type\": \"UP\", \"start\": 1}]",                   // no end
             "[{\"type\": \"UP\", \"start\": 9, \"end\": 2}]",       // end before start
             "[{\"type\": \"UP\", \"start\": 1.5, \"end\": 2}]",
             "[{\"type\": \"UP\", \"start\": 1, \"end\": 99999999999}]",
             "[{\"type\": \"UP\", \"start\": 1, \"end\": 2}",    // unterminated
             "[{\"type\": \"UP\", \"start\": 1, \"end\": 2}] x", // trailing text
         }) {
        const TruthFile f = parseTruth(bad);
        EXPECT_FALSE(f.ok) << bad;
        EXPECT_FALSE(f.error.empty()) << bad;
        EXPECT_TRUE(f.strokes.empty()) << bad;
    }
}

} // namespace
} // namespace zorvexa
