#include "common/Keystroke.h"
#include "common/VirtualKeys.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zorvexa {
namespace {

constexpr std::uint16_t VK_RETURN = 13;
constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_MENU = 18;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_DELETE = 46;
constexpr std::uint16_t VK_C = 67;
constexpr std::uint16_t VK_SHIFT = 16;

struct R {
    std::uint16_t vk;
    std::uint16_t scan;
    std::uint32_t flags;
};

void expectRecords(const KeyRecordList& list, const std::vector<R>& expected) {
    ASSERT_EQ(list.count, static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.records[i].vk, expected[i].vk) << "record " << i;
        EXPECT_EQ(list.records[i].scan, expected[i].scan) << "record " << i;
        EXPECT_EQ(list.records[i].flags, expected[i].flags) << "record " << i;
    }
}

TEST(BuildKeystroke, KeyAlone) {
    expectRecords(buildKeystroke(VK_RETURN, 0, 0), {{13, 0, 0}, {13, 0, 2}});
    expectRecords(buildKeystroke(VK_LEFT, 0, 0), {{37, 0, 1}, {37, 0, 3}});
}

TEST(BuildKeystroke, OneModifierCarriesScanCodes) {
    expectRecords(buildKeystroke(VK_C, VK_CONTROL, 0),
                  {{17, 0x1D, 0}, {67, 0x2E, 0}, {67, 0x2E, 2}, {17, 0x1D, 2}});
    expectRecords(buildKeystroke(VK_LEFT, VK_SHIFT, 0),
                  {{16, 0x2A, 0}, {37, 0x4B, 1}, {37, 0x4B, 3}, {16, 0x2A, 2}});
}

TEST(BuildKeystroke, TwoModifiersNestAroundTheKeyWithoutScanCodes) {
    expectRecords(buildKeystroke(VK_DELETE, VK_CONTROL, VK_MENU),
                  {{17, 0, 0}, {18, 0, 0}, {46, 0, 1}, {46, 0, 3}, {18, 0, 2}, {17, 0, 2}});
}

TEST(BuildKeystroke, SecondModifierAloneActsAsTheOnlyModifier) {
    expectRecords(buildKeystroke(VK_C, 0, VK_CONTROL),
                  {{17, 0x1D, 0}, {67, 0x2E, 0}, {67, 0x2E, 2}, {17, 0x1D, 2}});
}

TEST(BuildKeystroke, NoKeyGivesNoRecords) {
    EXPECT_EQ(buildKeystroke(0, 0, 0).count, 0);
    EXPECT_EQ(buildKeystroke(0, VK_CONTROL, VK_MENU).count, 0);
    EXPECT_EQ(buildKeystroke(0, 0, VK_MENU).count, 0);
}

TEST(IsExtendedKey, NavigationBlockOnly) {
    std::set<int> extended;
    for (int vk = 0; vk < 256; ++vk) {
        if (isExtendedKey(vk)) {
            extended.insert(vk);
        }
    }
    EXPECT_EQ(extended, (std::set<int>{33, 34, 35, 36, 37, 38, 39, 40, 45, 46}));
}

TEST(ScanCodeOf, UsLayoutSetOneCodes) {
    EXPECT_EQ(scanCodeOf(VK_CONTROL), 0x1D);
    EXPECT_EQ(scanCodeOf(VK_RETURN), 0x1C);
    EXPECT_EQ(scanCodeOf(27), 0x01);  // Escape
    EXPECT_EQ(scanCodeOf('1'), 0x02); // top row digits
    EXPECT_EQ(scanCodeOf('0'), 0x0B);
    EXPECT_EQ(scanCodeOf('Q'), 0x10); // letter rows
    EXPECT_EQ(scanCodeOf('A'), 0x1E);
    EXPECT_EQ(scanCodeOf('M'), 0x32);
    EXPECT_EQ(scanCodeOf(112), 0x3B);  // F1
    EXPECT_EQ(scanCodeOf(121), 0x44);  // F10
    EXPECT_EQ(scanCodeOf(123), 0x58);  // F12
    EXPECT_EQ(scanCodeOf(0x61), 0x4F); // numpad 1
    EXPECT_EQ(scanCodeOf(0xBD), 0x0C); // minus
    EXPECT_EQ(scanCodeOf(1), 0);       // mouse button
    EXPECT_EQ(scanCodeOf(0xAD), 0);    // volume mute, E0 only
    EXPECT_EQ(scanCodeOf(-1), 0);
    EXPECT_EQ(scanCodeOf(300), 0);
}

TEST(VirtualKeys, LettersAreLowerCaseAndUnknownCodesHaveNoKeysym) {
    EXPECT_EQ(keysymOfVirtualKey('A'), 0x61u);
    EXPECT_EQ(keysymOfVirtualKey('Z'), 0x7au);
    EXPECT_EQ(keysymOfVirtualKey('7'), 0x37u);
    EXPECT_EQ(keysymOfVirtualKey(VK_LEFT), 0xff51u);
    EXPECT_EQ(keysymOfVirtualKey(135), 0xffd5u); // F24
    EXPECT_EQ(keysymOfVirtualKey(1), 0u);        // mouse button
    EXPECT_EQ(keysymOfVirtualKey(0), 0u);
    EXPECT_EQ(keysymOfVirtualKey(256), 0u);

    std::size_t count = 0;
    const VirtualKeySymbol* table = virtualKeySymbols(count);
    for (std::size_t i = 1; i < count; ++i) {
        EXPECT_LT(table[i - 1].vk, table[i].vk) << "table must stay sorted for the search";
    }
}

} // namespace
} // namespace zorvexa
