// The small translucent window that confirms each recognised stroke over other
// applications: frameless, always on top, 70/255 opaque, no taskbar entry, and it never
// takes the keyboard focus. Its only content is the "transparent" video pane.
#pragma once

#include <atomic>

#include <QWidget>

namespace zorvexa {

constexpr const char* kIndicatorTitle = "Transparent Indicator Window";
constexpr const char* kIndicatorClass = "TransparentIndicatorWindow";

class IndicatorWindow : public QWidget {
  public:
    // Creates the window hidden, 320 x 240, centred horizontally and a quarter of the
    // screen height down (the window's middle at that line).
    IndicatorWindow();

    // Where the window goes on a screen of the given size.
    static QPoint placement(int screenWidth, int screenHeight);

    // Whether the window was last shown or hidden, for threads that may not ask the widget:
    // they need not queue a call that would change nothing.
    bool shownAsLastKnown() const { return shown_.load(); }

  protected:
    void showEvent(QShowEvent*) override { shown_ = !isHidden(); }
    void hideEvent(QHideEvent*) override { shown_ = !isHidden(); }

  private:
    std::atomic<bool> shown_{false};
};

} // namespace zorvexa
