#include "tools/render/Clips.h"

#include <memory>

#include <opencv2/imgproc.hpp>

#include "tools/render/DemoScript.h"
#include "tools/render/Footage.h"
#include "tools/render/Strokes.h"
#include "tools/render/TitleCard.h"

namespace zorvexa::render {

namespace {

const cv::Size kGuideSize(240, 240);
constexpr double kGuideFps = 10.0;

Clip filmed(const std::string& file, Timeline timeline, std::uint64_t seed,
            const Placement& at = guidePlacement(kGuideSize)) {
    auto footage = std::make_shared<Footage>(std::move(timeline), kGuideSize, at, seed);
    return Clip{file, kGuideSize, kGuideFps, footage->frameCount(),
                [footage](int i) { return footage->frame(i); }};
}

Clip card(const std::string& file, cv::Size size, int frames, TitleCard title) {
    return Clip{file, size, kGuideFps, frames,
                [title, size, frames](int i) { return drawTitleCard(title, size, i, frames); }};
}

Timeline strokeLesson(Stroke stroke) {
    Timeline t;
    t.hold(5);
    appendStroke(t, stroke, Pace::Guide);
    t.hold(6);
    return t;
}

Timeline backStrokeLesson() {
    // Arms up, held for a moment, then lowered calmly back to rest.
    Timeline t;
    t.hold(5);
    appendStroke(t, Stroke::Up, Pace::Guide);
    t.hold(8).moveTo(restPose(), 12, Ease::Smooth).hold(5);
    return t;
}

Timeline butterflyLesson() {
    // The clip opens with the arms already up, so it shows only the pull down.
    Timeline t(symmetric(straightArm(160.0)));
    t.hold(8);
    appendStroke(t, Stroke::Down, Pace::Guide);
    t.hold(4);
    return t;
}

// Standing still, centred, hands out of view: how to wait between strokes.
Clip centreView() {
    Timeline t;
    t.hold(29);
    auto footage =
        std::make_shared<Footage>(std::move(t), kGuideSize, guidePlacement(kGuideSize), 11);
    return Clip{"center_view.avi", kGuideSize, kGuideFps, footage->frameCount(), [footage](int i) {
                    cv::Mat img = footage->frame(i);
                    // Viewfinder corners and a faint centre line frame the person.
                    const cv::Scalar mark(90, 235, 120);
                    const int l = 40, r = 200, top = 96, bottom = 232, arm = 14;
                    for (int x : {l, r}) {
                        const int dx = x == l ? arm : -arm;
                        cv::line(img, {x, top}, {x + dx, top}, mark, 2, cv::LINE_AA);
                        cv::line(img, {x, top}, {x, top + arm}, mark, 2, cv::LINE_AA);
                        cv::line(img, {x, bottom}, {x + dx, bottom}, mark, 2, cv::LINE_AA);
                        cv::line(img, {x, bottom}, {x, bottom - arm}, mark, 2, cv::LINE_AA);
                    }
                    for (int y = top + 6; y < bottom; y += 12)
                        cv::line(img, {120, y}, {120, y + 5}, mark * 0.8, 1, cv::LINE_AA);
                    return img;
                }};
}

Clip demoSession() {
    DemoSession session = buildDemoSession();
    const cv::Size size(kDemoWidth, kDemoHeight);
    auto footage =
        std::make_shared<Footage>(std::move(session.timeline), size, webcamPlacement(size), 1);
    return Clip{"demo_session.avi", size, static_cast<double>(kDemoFps), footage->frameCount(),
                [footage](int i) { return footage->frame(i); }};
}

} // namespace

std::vector<Clip> allClips() {
    std::vector<Clip> clips;
    clips.push_back(card("BeginnerMode.avi", kGuideSize, 30,
                         TitleCard{{"Beginner Mode", "two strokes:", "scroll up and down"},
                                   CardPicture::Exercising}));
    clips.push_back(card("AdvancedMode.avi", kGuideSize, 30,
                         TitleCard{{"Advanced Mode", "strokes for menus,", "tasks and the mouse"},
                                   CardPicture::Exercising,
                                   {70, 40, 90}}));
    clips.push_back(card("start_exercising.avi", kGuideSize, 30,
                         TitleCard{{"Start exercising!", "your strokes now", "control the PC"},
                                   CardPicture::Exercising,
                                   {40, 90, 30}}));
    clips.push_back(
        card("webcam_not_connected.avi", cv::Size(320, 240), 40,
             TitleCard{{"webcam not connected", "connect a webcam, then", "turn the webcam on"},
                       CardPicture::CameraMissing,
                       {40, 40, 70},
                       {80, 120, 255}}));
    clips.push_back(centreView());
    clips.push_back(filmed("backstroke.avi", backStrokeLesson(), 21));
    clips.push_back(filmed("butterflystroke.avi", butterflyLesson(), 22));
    clips.push_back(filmed("rightstroke.avi", strokeLesson(Stroke::DownRight), 23));
    clips.push_back(filmed("leftstroke.avi", strokeLesson(Stroke::DownLeft), 24));
    clips.push_back(filmed("clap.avi", strokeLesson(Stroke::Clap), 25));
    clips.push_back(demoSession());
    return clips;
}

const Clip* findClip(const std::vector<Clip>& clips, const std::string& file) {
    for (const Clip& c : clips)
        if (c.file == file)
            return &c;
    return nullptr;
}

} // namespace zorvexa::render
