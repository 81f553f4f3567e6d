#include "tools/render/Dataset.h"

#include <cstdio>
#include <fstream>

#include "tools/render/ClipWriter.h"
#include "tools/render/Figure.h"

namespace zorvexa::render {

namespace {

// A well-mixed generator seed for clip `index` of `seed`.
std::uint64_t clipSeed(std::uint64_t seed, int index) {
    std::uint64_t z =
        seed * 0x9E3779B97F4A7C15ull + static_cast<std::uint64_t>(index) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return z == 0 ? 1 : z;
}

cv::Scalar anyColour(cv::RNG& rng, int low, int high) {
    return cv::Scalar(rng.uniform(low, high), rng.uniform(low, high), rng.uniform(low, high));
}

Wardrobe anyWardrobe(cv::RNG& rng) {
    static const cv::Scalar kSkins[] = {{150, 185, 230}, {122, 160, 214}, {100, 140, 200},
                                        {80, 120, 180},  {60, 90, 140},   {45, 65, 100}};
    static const cv::Scalar kHair[] = {
        {28, 38, 58}, {20, 20, 25}, {40, 80, 130}, {90, 150, 200}, {150, 150, 155}};
    Wardrobe w;
    w.shirt = anyColour(rng, 20, 235);
    w.trim = rng.uniform(0, 2) ? w.shirt * 0.7 : anyColour(rng, 40, 250);
    const cv::Scalar skin = kSkins[rng.uniform(0, 6)];
    const double tone = rng.uniform(0.92, 1.08);
    w.skin = skin * tone;
    w.hair = kHair[rng.uniform(0, 5)];
    if (rng.uniform(0, 3) == 0) {
        w.stripe = rng.uniform(0, 2) ? w.shirt * 0.55 : anyColour(rng, 20, 235);
        w.stripeWidth = rng.uniform(0.04, 0.12);
    }
    return w;
}

Build anyBuild(cv::RNG& rng) {
    return Build{rng.uniform(0.85, 1.2), rng.uniform(0.85, 1.25), rng.uniform(0.9, 1.1)};
}

SceneLook anyScene(cv::RNG& rng, int frames) {
    SceneLook s;
    s.wall = anyColour(rng, 60, 220);
    s.texture = rng.uniform(2.0, 12.0);
    s.pattern = static_cast<WallPattern>(rng.uniform(0, 3));
    s.fixtures = rng.uniform(0, 10) < 6;
    s.noise = rng.uniform(1.2, 5.0);
    s.flicker = rng.uniform(0.004, 0.02);
    if (rng.uniform(0, 2)) {
        s.drift = rng.uniform(0.01, 0.06);
        s.driftPeriod = rng.uniform(1.0, 2.5) * frames;
        s.driftPhase = rng.uniform(0.0, 6.28);
    }
    return s;
}

// Someone walking behind, smaller because further away, from one side to the other.
std::function<void(cv::Mat&, double)> passerBy(cv::RNG& rng, cv::Size size, const Placement& main,
                                               int frames) {
    const double scale = main.scale * rng.uniform(0.4, 0.6);
    const bool fromLeft = rng.uniform(0, 2) == 0;
    const double x0 = fromLeft ? -0.6 * scale : size.width + 0.6 * scale;
    const double x1 = fromLeft ? size.width + 0.6 * scale : -0.6 * scale;
    const double y = size.height - 1.7 * scale;
    const int first = rng.uniform(0, std::max(1, frames / 4));
    const int length = std::min(frames - first, rng.uniform(60, 120));
    const Wardrobe clothes = anyWardrobe(rng);
    const Build build = anyBuild(rng);
    return [=](cv::Mat& picture, double t) {
        const double u = (t - first) / length;
        if (u < 0.0 || u > 1.0)
            return;
        const double step = t * 0.45;
        Pose walking = restPose();
        walking.left = straightArm(8.0 + 14.0 * std::sin(step));
        walking.right = straightArm(8.0 - 14.0 * std::sin(step));
        walking.lift = 0.03 * std::abs(std::sin(step));
        drawFigure(picture, walking, Placement{{x0 + (x1 - x0) * u, y}, scale}, clothes, build);
    };
}

MotionDir mirroredDir(MotionDir d) {
    if (d == kDirDownLeft)
        return kDirDownRight;
    if (d == kDirDownRight)
        return kDirDownLeft;
    return d;
}

std::string format(const char* fmt, double a, double b = 0.0, double c = 0.0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

} // namespace

DatasetClip datasetClip(std::uint64_t seed, int index, bool small) {
    cv::RNG rng(clipSeed(seed, index));
    DatasetClip clip;
    clip.size = rng.uniform(0, 2) && !small ? cv::Size(320, 240) : cv::Size(160, 120);
    const double u = clip.size.height / 240.0;

    // The arms swing through the sides, the shoulder-blade plane or in front.
    ArmStyle style;
    const int plane = rng.uniform(0, 3);
    style.plane = plane == 0   ? rng.uniform(0.0, 10.0)
                  : plane == 1 ? rng.uniform(25.0, 40.0)
                               : rng.uniform(60.0, 78.0);
    style.bend = rng.uniform(0.0, 20.0);

    const bool distractor = rng.uniform(0, 4) == 0;
    const Distractor kind = static_cast<Distractor>(rng.uniform(0, kDistractorKinds));
    Performance performance =
        distractor ? distractorPerformance(rng, style, kind) : strokePerformance(rng, style);
    const int frames = performance.timeline.frameCount();

    // Hips-up (1.05 to 1.4 m away) or chest-up, not always in the middle.
    const bool chestUp = rng.uniform(0, 10) < 3;
    Placement at;
    at.scale = (chestUp ? rng.uniform(140.0, 170.0) : rng.uniform(100.0, 135.0)) * u;
    at.shoulders.y = (chestUp ? rng.uniform(150.0, 178.0) : rng.uniform(118.0, 142.0)) * u;
    at.shoulders.x = clip.size.width * (0.5 + rng.uniform(-0.18, 0.18));

    Filming filming;
    filming.clothes = anyWardrobe(rng);
    filming.build = anyBuild(rng);
    filming.scene = anyScene(rng, frames);
    filming.mirrored = rng.uniform(0, 10) < 3;
    if (rng.uniform(0, 10) < 6) {
        filming.sway = rng.uniform(0.005, 0.03);
        filming.swayPeriod = rng.uniform(60.0, 150.0);
        filming.swayPhase = rng.uniform(0.0, 6.28);
    }
    if (distractor && kind == Distractor::Sway) {
        filming.sway = rng.uniform(0.06, 0.15);
        filming.swayPeriod = rng.uniform(40.0, 90.0);
    } else if (distractor && kind == Distractor::Walker) {
        filming.behind = passerBy(rng, clip.size, at, frames);
    } else if (distractor && kind == Distractor::Light) {
        filming.scene.switchFrame = rng.uniform(frames * 2 / 5, frames * 4 / 5);
        filming.scene.switchGain = rng.uniform(1.25, 1.5);
    }

    clip.kind = distractor ? distractorName(kind) : "strokes";
    char name[64];
    std::snprintf(name, sizeof name, "s%llu_c%03d_%s", static_cast<unsigned long long>(seed), index,
                  clip.kind.c_str());
    clip.name = name;
    for (TruthStroke s : performance.strokes) {
        if (filming.mirrored)
            s.type = mirroredDir(s.type);
        clip.strokes.push_back(s);
    }

    static const char* kPlanes[] = {"sides", "shoulder-blade plane", "front"};
    clip.description =
        clip.name + ": " + std::to_string(clip.size.width) + "x" +
        std::to_string(clip.size.height) + ", " + std::to_string(frames) + " frames, arms " +
        kPlanes[plane] + format(" (%.0f deg, bend %.0f)", style.plane, style.bend) +
        (chestUp ? ", chest-up" : ", hips-up") +
        format(" scale %.0f at x %.0f", at.scale, at.shoulders.x) +
        format(", noise %.1f, light drift %.2f", filming.scene.noise, filming.scene.drift) +
        format(", sway %.3f", filming.sway) + (filming.mirrored ? ", mirrored" : "") + "; ";
    if (clip.strokes.empty())
        clip.description += performance.summary;
    for (size_t i = 0; i < clip.strokes.size(); ++i)
        clip.description += std::string(i ? ", " : "") + directionName(clip.strokes[i].type) + " " +
                            std::to_string(clip.strokes[i].start) + "-" +
                            std::to_string(clip.strokes[i].end);

    clip.at = at;
    if (filming.mirrored)
        clip.at.shoulders.x = clip.size.width - 1 - at.shoulders.x;
    clip.footage = std::make_shared<Footage>(std::move(performance.timeline), clip.size, at,
                                             clipSeed(seed, index) >> 8, std::move(filming));
    return clip;
}

std::string truthJson(const std::vector<TruthStroke>& strokes) {
    std::string out = "[";
    for (size_t i = 0; i < strokes.size(); ++i) {
        const TruthStroke& s = strokes[i];
        out += std::string(i ? ",\n " : "") + "{\"type\": \"" + directionName(s.type) +
               "\", \"start\": " + std::to_string(s.start) + ", \"end\": " + std::to_string(s.end) +
               "}";
    }
    return out + "]\n";
}

DatasetResult writeDataset(const std::string& folder, std::uint64_t seed, int count, bool small) {
    DatasetResult result;
    std::ofstream index(folder + "/s" + std::to_string(seed) + "_index.txt");
    for (int i = 1; i <= count; ++i) {
        const DatasetClip clip = datasetClip(seed, i, small);
        const std::string base = folder + "/" + clip.name;
        const auto footage = clip.footage;
        const ClipResult r = writeClip(base + ".avi", clip.size, kDatasetFps, footage->frameCount(),
                                       [footage](int f) { return footage->frame(f); });
        if (!r.ok) {
            result.error = r.error;
            return result;
        }
        std::ofstream json(base + ".json");
        json << truthJson(clip.strokes);
        index << clip.description << "\n";
        if (!json || !index) {
            result.error = "cannot write " + base + ".json or the index in " + folder;
            return result;
        }
        ++result.written;
    }
    return result;
}

} // namespace zorvexa::render
