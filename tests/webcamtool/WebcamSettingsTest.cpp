// Device choice, the stream probe and the whole run against fake devices.
#include "webcamtool/core/WebcamSettings.h"
#include "tests/webcamtool/FakeVideoDevice.h"
#include "webcamtool/core/DeviceChoice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zorvexa::test {
namespace {

struct RecordingUi : SettingsUi {
    struct Message {
        std::string caption, text;
        MessageIcon icon;
    };
    std::vector<Message> messages;
    std::vector<std::string> dialogs;
    size_t controlsShown = 0;

    void showMessage(const std::string& caption, const std::string& text,
                     MessageIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    void showSettings(ControlModel& model, const std::string& title) override {
        dialogs.push_back(title);
        controlsShown = model.entries().size();
    }
};

bool called(const FakeCamera& cam, const std::string& call) {
    return std::find(cam.calls.begin(), cam.calls.end(), call) != cam.calls.end();
}

TEST(VintrelDeviceChoice, NodesAreOrderedByTheirNumber) {
    EXPECT_EQ(
        sortNodesNumerically({"/dev/video10", "/dev/video2", "/dev/video0", "/dev/video1"}),
        (std::vector<std::string>{"/dev/video0", "/dev/video1", "/dev/video2", "/dev/video10"}));
}

TEST(VintrelDeviceChoice, FirstCaptureNodeIsChosenAndLaterNodesAreNeverOpened) {
    FakeVideoSystem system;
    auto metadata = typicalWebcam();
    metadata->caps.videoCapture = false; // the metadata node of the first camera
    auto first = typicalWebcam();
    auto second = typicalWebcam();
    system.addNode("/dev/video10", second);
    system.addNode("/dev/video3", first);
    system.addNode("/dev/video2", metadata);

    RecordingUi ui;
    EXPECT_EQ(showWebcamSettings(system, ui), 0);
    EXPECT_EQ(system.opened, (std::vector<std::string>{"/dev/video2", "/dev/video3"}));
    EXPECT_TRUE(second->calls.empty());
    EXPECT_FALSE(called(*metadata, "s_fmt"));
    EXPECT_TRUE(called(*first, "s_fmt"));
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0], "Fake HD Webcam Properties");
}

TEST(VintrelRun, NoCaptureDeviceShowsTheWarningAndEndsWithZero) {
    for (bool withOtherNode : {false, true}) {
        FakeVideoSystem system;
        if (withOtherNode) {
            auto output = typicalWebcam();
            output->caps.videoCapture = false;
            system.addNode("/dev/video0", output);
        }
        RecordingUi ui;
        EXPECT_EQ(showWebcamSettings(system, ui), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, "Warning");
        EXPECT_EQ(ui.messages[0].text,
                  "webcam not detected!\n you need a webcam to use this application");
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
        EXPECT_TRUE(ui.dialogs.empty());
    }
}

TEST(VintrelRun, UnusableFirstDeviceShowsTheFatalErrorAndEndsWithOne) {
    enum Fault { CannotOpen, NoCapabilities, NoCaptureFormat };
    for (Fault fault : {CannotOpen, NoCapabilities, NoCaptureFormat}) {
        FakeVideoSystem system;
        auto broken = typicalWebcam();
        broken->capsFail = fault == NoCapabilities;
        broken->getFormatFails = fault == NoCaptureFormat;
        auto good = typicalWebcam();
        system.addNode("/dev/video0", fault == CannotOpen ? nullptr : broken);
        system.addNode("/dev/video1", good);

        RecordingUi ui;
        EXPECT_EQ(showWebcamSettings(system, ui), 1) << fault;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, "FATAL ERROR");
        EXPECT_EQ(ui.messages[0].text, "webcam not detected!\nprogram will terminate");
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(ui.dialogs.empty());
        EXPECT_TRUE(good->calls.empty()) << "the second device must not be touched";
        EXPECT_FALSE(called(*broken, "reqbufs"));
    }
}

TEST(VintrelRun, WorkingCameraIsProbedStoppedAndShown) {
    FakeVideoSystem system;
    auto cam = typicalWebcam();
    system.addNode("/dev/video0", cam);
    RecordingUi ui;
    EXPECT_EQ(showWebcamSettings(system, ui), 0);

    const std::vector<std::string> probe = {"reqbufs", "streamon", "dqbuf 1000", "streamoff",
                                            "release"};
    auto at = std::search(cam->calls.begin(), cam->calls.end(), probe.begin(), probe.end());
    EXPECT_NE(at, cam->calls.end());
    EXPECT_FALSE(cam->streaming);
    EXPECT_EQ(cam->buffers, 0);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.controlsShown, 8u);
}

TEST(VintrelRun, CameraThatCannotStreamStillHasItsSettingsShown) {
    struct Case {
        const char* name;
        void (*breakIt)(FakeCamera&);
        ProbeResult expected;
    };
    const Case cases[] = {
        {"busy", [](FakeCamera& c) { c.buffersRefused = true; }, ProbeResult::CannotStream},
        {"stream on fails", [](FakeCamera& c) { c.streamOnFails = true; },
         ProbeResult::CannotStream},
        {"no frames", [](FakeCamera& c) { c.deliversFrames = false; }, ProbeResult::NoFrame},
        {"read i/o only", [](FakeCamera& c) { c.caps.streaming = false; },
         ProbeResult::CannotStream},
    };
    for (const Case& c : cases) {
        FakeVideoSystem system;
        auto cam = typicalWebcam();
        c.breakIt(*cam);
        system.addNode("/dev/video0", cam);

        CaptureSetup setup = buildCaptureGraph(system, 5);
        EXPECT_EQ(setup.outcome, CaptureSetupOutcome::Ready) << c.name;
        EXPECT_EQ(setup.probe, c.expected) << c.name;
        EXPECT_FALSE(cam->streaming) << c.name;
        EXPECT_EQ(cam->buffers, 0) << c.name;

        RecordingUi ui;
        FakeVideoSystem again;
        again.addNode("/dev/video0", cam);
        EXPECT_EQ(showWebcamSettings(again, ui, 5), 0) << c.name;
        EXPECT_EQ(ui.dialogs.size(), 1u) << c.name;
        EXPECT_TRUE(ui.messages.empty()) << c.name;
    }
}

TEST(VintrelRun, DeviceWithoutControlsShowsNothing) {
    FakeVideoSystem system;
    auto cam = typicalWebcam();
    cam->controls.clear();
    system.addNode("/dev/video0", cam);
    RecordingUi ui;
    EXPECT_EQ(showWebcamSettings(system, ui), 0);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace zorvexa::test
