// Size and place of the command dialog. Its layout is given in dialog units, which scale
// with the dialog font: a horizontal unit is a quarter of the font's average character
// width, a vertical unit an eighth of its height.
#pragma once

namespace zorvexa {

struct DialogUnits {
    int baseX = 0; // average character width in pixels
    int baseY = 0; // character height in pixels

    int toPixelsX(int units) const { return scale(units, baseX, 4); }
    int toPixelsY(int units) const { return scale(units, baseY, 8); }

  private:
    // units * base / divisor, rounded half away from zero.
    static int scale(int units, int base, int divisor) {
        const long long product = static_cast<long long>(units) * base;
        const long long half = divisor / 2;
        return static_cast<int>(product >= 0 ? (product + half) / divisor
                                             : -((-product + half) / divisor));
    }
};

// The dialog is 248 x 201 units.
constexpr int kDialogWidthUnits = 248;
constexpr int kDialogHeightUnits = 201;

struct DialogPosition {
    int x = 0;
    int y = 0;
};

// Centred horizontally (each half divided separately, as integers) with the bottom edge
// half a dialog height above the bottom of the screen.
inline DialogPosition dialogPosition(int screenWidth, int screenHeight, int width, int height) {
    DialogPosition position;
    position.x = screenWidth / 2 - width / 2;
    position.y = static_cast<int>(screenHeight - 1.5 * height);
    return position;
}

} // namespace zorvexa
