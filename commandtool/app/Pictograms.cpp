#include "commandtool/app/Pictograms.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

namespace zorvexa {

namespace {

QString resourceOf(Pictogram pictogram) {
    switch (pictogram) {
    case Pictogram::ToCentre:
        return QStringLiteral(":/osmerak/gesture-tocenter.svg");
    case Pictogram::Up:
        return QStringLiteral(":/osmerak/gesture-up.svg");
    case Pictogram::Down:
        return QStringLiteral(":/osmerak/gesture-down.svg");
    case Pictogram::Right:
        return QStringLiteral(":/osmerak/gesture-right.svg");
    case Pictogram::Left:
        return QStringLiteral(":/osmerak/gesture-left.svg");
    case Pictogram::DownLeft:
        return QStringLiteral(":/osmerak/gesture-downleft.svg");
    case Pictogram::UpRight:
        return QStringLiteral(":/osmerak/gesture-upright.svg");
    }
    return {};
}

} // namespace

QPixmap pictogramPixmap(Pictogram pictogram, int size, qreal devicePixelRatio) {
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resourceOf(pictogram));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon pictogramIcon(Pictogram pictogram) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(pictogramPixmap(pictogram, size));
    }
    return icon;
}

} // namespace zorvexa
