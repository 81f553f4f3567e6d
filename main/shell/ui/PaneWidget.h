// A video pane inside a shell window: shows the last image it was given at its natural
// size from the top-left corner (larger images are scaled down to fit), never takes the
// keyboard focus, and reports mouse button presses (a double click as one press).
#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

namespace zorvexa {

class PaneWidget : public QWidget {
  public:
    // Mouse codes passed to the handler: the OpenCV event numbers.
    static constexpr int kLeftButtonDown = 1;
    static constexpr int kRightButtonDown = 2;
    using MouseHandler = std::function<void(int event, int x, int y)>;

    explicit PaneWidget(QWidget* parent);

    void setImage(QImage image);
    const QImage& image() const { return image_; }
    void setMouseHandler(MouseHandler handler) { mouseHandler_ = std::move(handler); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    Qt::MouseButton lastButton_ = Qt::NoButton;
    quint64 lastPressTime_ = 0;
    QImage image_;
    MouseHandler mouseHandler_;
};

} // namespace zorvexa
