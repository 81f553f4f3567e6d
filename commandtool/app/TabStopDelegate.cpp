#include "commandtool/app/TabStopDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStringList>

namespace zorvexa {

TabStopDelegate::TabStopDelegate(int tabStopPixels, QObject* parent)
    : QStyledItemDelegate(parent), tabStop_(tabStopPixels > 0 ? tabStopPixels : 1) {}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 3);
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget); // ground and focus

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setClipRect(area);
    painter->setFont(item.font);
    painter->setPen(item.palette.color(QPalette::Normal,
                                       selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics(item.font);
    int x = 0;
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            x = (x / tabStop_ + 1) * tabStop_;
        }
        const QRect slot(area.left() + x, area.top(), area.width() - x, area.height());
        painter->drawText(slot, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
        x += metrics.horizontalAdvance(parts[i]);
    }
    painter->restore();
}

} // namespace zorvexa
