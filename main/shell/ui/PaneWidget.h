// A video pane inside a shell window: shows the last image it was given at its natural
// size from the top-left corner (larger images are scaled down to fit), never takes the
// keyboard focus, and reports mouse button presses (a double click as one press).
#pragma once

#include <functional>

#include <QImage>
#include <QPainter>
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

    // From now on the pictures go to the pane's native window without Qt (see
    // QtPaneHost): Qt does not paint it, and an exposed pane calls `repaint` to be drawn
    // again.
    void paintDirectly(std::function<void()> repaint);
    bool paintsDirectly() const { return static_cast<bool>(directRepaint_); }

    // What the pane shows for `image` in an area of `size` (at the top-left corner), onto
    // any painter: the pane's own painting, and that of a picture made for it elsewhere.
    static void paint(QPainter& painter, const QSize& size, const QImage& image);

    QPaintEngine* paintEngine() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    Qt::MouseButton lastButton_ = Qt::NoButton;
    quint64 lastPressTime_ = 0;
    QImage image_;
    MouseHandler mouseHandler_;
    std::function<void()> directRepaint_;
};

} // namespace zorvexa
