#include "webcamtool/core/ControlModel.h"
#include "tests/webcamtool/FakeVideoDevice.h"

#include <gtest/gtest.h>

namespace zorvexa::test {
namespace {

TEST(VintrelControlModel, ListsControlsWithKindsValuesAndDriverGroups) {
    auto cam = typicalWebcam();
    FakeControl reset;
    reset.info = ControlInfo{cid::kPanReset, ControlType::Button, "Pan, Reset", 0, 0, 0, 0, 0};
    cam->addControl(reset);
    FakeControl level;
    level.info = ControlInfo{0x009a0910, ControlType::IntegerMenu, "Zoom Level", 0, 2, 1, 0, 0};
    level.intMenu = {{0, 100}, {1, 200}, {2, 400}};
    level.value = 1;
    cam->addControl(level);
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();

    struct Expect {
        std::uint32_t id;
        ControlKind kind;
        std::int32_t value;
    };
    const Expect expected[] = {
        {cid::kBrightness, ControlKind::Slider, 10},
        {cid::kContrast, ControlKind::Slider, 32},
        {cid::kSaturation, ControlKind::Slider, 60},
        {cid::kWhiteBalanceAuto, ControlKind::CheckBox, 1},
        {cid::kPowerLineFrequency, ControlKind::DropDown, 1},
        {cid::kWhiteBalanceTemperature, ControlKind::Slider, 4600},
        {cid::kExposureAuto, ControlKind::DropDown, 3},
        {cid::kExposureAbsolute, ControlKind::Slider, 250},
        {cid::kPanReset, ControlKind::PushButton, 0},
        {0x009a0910, ControlKind::DropDown, 1},
    };
    ASSERT_EQ(model.entries().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ControlEntry& e = model.entries()[i];
        EXPECT_EQ(e.info.id, expected[i].id) << i;
        EXPECT_EQ(e.kind, expected[i].kind) << e.info.name;
        EXPECT_EQ(e.value, expected[i].value) << e.info.name;
    }

    ASSERT_EQ(model.groups().size(), 2u);
    EXPECT_EQ(model.groups()[0].name, "User Controls");
    EXPECT_EQ(model.groups()[0].entries.size(), 6u);
    EXPECT_EQ(model.groups()[1].name, "Camera Controls");
    EXPECT_EQ(model.groups()[1].entries.size(), 4u);

    // Menus leave out the indexes the driver does not answer; integer menus show numbers.
    const ControlEntry* exposure = model.find(cid::kExposureAuto);
    ASSERT_EQ(exposure->choices.size(), 2u);
    EXPECT_EQ(exposure->choices[0].value, 1);
    EXPECT_EQ(exposure->choices[0].label, "Manual Mode");
    EXPECT_EQ(exposure->choices[1].value, 3);
    const ControlEntry* zoom = model.find(0x009a0910);
    ASSERT_EQ(zoom->choices.size(), 3u);
    EXPECT_EQ(zoom->choices[2].label, "400");

    // Inactive controls are listed but not editable.
    EXPECT_TRUE(model.find(cid::kWhiteBalanceTemperature)->inactive());
    EXPECT_FALSE(model.find(cid::kWhiteBalanceTemperature)->editable());
    EXPECT_TRUE(model.find(cid::kBrightness)->editable());
}

TEST(VintrelControlModel, ClassWithoutHeadingGetsItsKnownName) {
    auto cam = typicalWebcam();
    cam->controls.erase(cam->controls.begin()); // the "User Controls" heading
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();
    ASSERT_EQ(model.groups().size(), 2u);
    EXPECT_EQ(model.groups()[0].name, "User Controls");
}

TEST(VintrelControlModel, ChangeIsWrittenAtOnceAndDependentStateIsReadBack) {
    auto cam = typicalWebcam();
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();

    const int queriesBefore = cam->controlQueries;
    EXPECT_TRUE(model.setValue(cid::kBrightness, -20));
    EXPECT_EQ(cam->controlQueries - queriesBefore, static_cast<int>(model.entries().size()))
        << "every control is read again";
    ASSERT_EQ(cam->writes.size(), 1u);
    EXPECT_EQ(cam->writes[0], std::make_pair(cid::kBrightness, -20));
    EXPECT_EQ(model.find(cid::kBrightness)->value, -20);

    // Switching automatic white balance off makes the temperature adjustable.
    EXPECT_TRUE(model.setValue(cid::kWhiteBalanceAuto, 0));
    EXPECT_FALSE(model.find(cid::kWhiteBalanceTemperature)->inactive());
    EXPECT_TRUE(model.find(cid::kWhiteBalanceTemperature)->editable());

    // The driver rounds to its step; the model shows the device's value, not the request.
    EXPECT_TRUE(model.setValue(cid::kWhiteBalanceTemperature, 5005));
    EXPECT_EQ(model.find(cid::kWhiteBalanceTemperature)->value, 5000);

    // A refused value leaves the device's value in place.
    EXPECT_FALSE(model.setValue(cid::kPowerLineFrequency, 7));
    EXPECT_EQ(model.find(cid::kPowerLineFrequency)->value, 1);
}

// UVC flags no control for update: switching an automatic mode must still enable its
// manual control (whose writes the driver refuses while inactive), and disable it again.
TEST(VintrelControlModel, AutomaticAndManualPairsFollowTheDriverWithoutTheUpdateFlag) {
    auto cam = uvcWebcam();
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();
    ASSERT_FALSE(model.find(cid::kWhiteBalanceTemperature)->editable());
    ASSERT_FALSE(model.find(cid::kExposureAbsolute)->editable());

    EXPECT_TRUE(model.setValue(cid::kWhiteBalanceAuto, 0));
    EXPECT_TRUE(model.find(cid::kWhiteBalanceTemperature)->editable());
    EXPECT_TRUE(model.setValue(cid::kWhiteBalanceTemperature, 3000));
    EXPECT_EQ(model.find(cid::kWhiteBalanceTemperature)->value, 3000);

    EXPECT_TRUE(model.setValue(cid::kExposureAuto, 1)); // manual mode
    EXPECT_TRUE(model.find(cid::kExposureAbsolute)->editable());
    EXPECT_TRUE(model.setValue(cid::kExposureAbsolute, 500));
    EXPECT_EQ(model.find(cid::kExposureAbsolute)->value, 500);

    EXPECT_TRUE(model.setValue(cid::kWhiteBalanceAuto, 1));
    EXPECT_TRUE(model.setValue(cid::kExposureAuto, 3));
    EXPECT_FALSE(model.find(cid::kWhiteBalanceTemperature)->editable());
    EXPECT_FALSE(model.find(cid::kExposureAbsolute)->editable());
    EXPECT_FALSE(model.setValue(cid::kExposureAbsolute, 600)) << "refused while automatic";
    EXPECT_EQ(model.find(cid::kExposureAbsolute)->value, 500);
}

TEST(VintrelControlModel, ResetPutsDefaultsBackInDriverOrder) {
    auto cam = typicalWebcam();
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();
    model.setValue(cid::kWhiteBalanceAuto, 0);
    model.setValue(cid::kWhiteBalanceTemperature, 3000);
    model.setValue(cid::kBrightness, 40);
    cam->writes.clear();

    EXPECT_TRUE(model.resetToDefaults());
    EXPECT_EQ(model.find(cid::kBrightness)->value, 0);
    EXPECT_EQ(model.find(cid::kSaturation)->value, 55);
    EXPECT_EQ(model.find(cid::kWhiteBalanceAuto)->value, 1);
    // Automatic white balance came back first, so the then inactive temperature was left.
    EXPECT_EQ(model.find(cid::kWhiteBalanceTemperature)->value, 3000);
    for (const auto& [id, value] : cam->writes) {
        EXPECT_NE(id, cid::kWhiteBalanceTemperature);
        EXPECT_NE(id, cid::kContrast) << "already at its default";
        EXPECT_NE(id, cid::kExposureAbsolute) << "inactive";
    }
}

TEST(VintrelControlModel, ReadOnlyAndDisabledControlsAreNotEditable) {
    auto cam = typicalWebcam();
    cam->control(cid::kContrast)->info.flags = control_flags::kReadOnly;
    cam->control(cid::kContrast)->value = 50;
    cam->control(cid::kSaturation)->info.flags = control_flags::kDisabled;
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();
    EXPECT_FALSE(model.find(cid::kContrast)->editable());
    EXPECT_FALSE(model.find(cid::kSaturation)->editable());
    model.resetToDefaults();
    for (const auto& write : cam->writes)
        EXPECT_NE(write.first, cid::kContrast);
}

TEST(VintrelControlModel, ButtonIsPressedAndDriversThatDoNotAdvanceDoNotHang) {
    auto cam = typicalWebcam();
    FakeControl reset;
    reset.info = ControlInfo{cid::kPanReset, ControlType::Button, "Pan, Reset", 0, 0, 0, 0, 0};
    cam->addControl(reset);
    FakeVideoDevice device(cam);
    ControlModel model(device);
    model.load();
    EXPECT_TRUE(model.press(cid::kPanReset));
    ASSERT_FALSE(cam->writes.empty());
    EXPECT_EQ(cam->writes.back().first, cid::kPanReset);
    EXPECT_FALSE(model.press(cid::kBrightness)) << "only buttons are pressed";

    // A device whose "next" query always answers with the same control.
    struct StuckDevice : FakeVideoDevice {
        using FakeVideoDevice::FakeVideoDevice;
        bool queryControl(std::uint32_t, bool, ControlInfo& info) override {
            info =
                ControlInfo{cid::kBrightness, ControlType::Integer, "Brightness", 0, 10, 1, 5, 0};
            return true;
        }
    };
    StuckDevice stuck(typicalWebcam());
    ControlModel stuckModel(stuck);
    stuckModel.load();
    EXPECT_EQ(stuckModel.entries().size(), 1u);
}

} // namespace
} // namespace zorvexa::test
