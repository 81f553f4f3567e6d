// Draws list lines whose tab characters advance to the next fixed tab stop, as the
// command list's "shortcut<TAB>description" lines need.
#pragma once

#include <QStyledItemDelegate>

namespace zorvexa {

class TabStopDelegate : public QStyledItemDelegate {
  public:
    TabStopDelegate(int tabStopPixels, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A little air above and below each line.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    int tabStop_;
};

} // namespace zorvexa
