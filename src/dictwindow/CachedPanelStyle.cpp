#include "dictwindow/CachedPanelStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionFrame>

namespace tolvane::dictwindow {

CachedPanelStyle::PictureKey CachedPanelStyle::pictureKey(const QStyleOptionFrame& frame,
                                                          qreal ratio) {
    return {frame.rect.size(),        ratio,
            int(frame.state),         int(frame.direction),
            frame.lineWidth,          frame.midLineWidth,
            int(frame.features),      int(frame.frameShape),
            frame.palette.cacheKey(), frame.fontMetrics.height()};
}

// The same style as the application's (a new instance of it, by name: a proxy owns its base).
CachedPanelStyle::CachedPanelStyle(PrimitiveElement panel, QObject* parent)
    : QProxyStyle(QApplication::style()->name()), m_panel(panel) {
    setParent(parent);
}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != m_panel || !frame || !painter->transform().isIdentity() ||
        frame->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const PictureKey key = pictureKey(*frame, ratio);
    if (key != m_pictureKey || m_picture.isNull()) {
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTo(0, 0);
        QPixmap picture(atOrigin.rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter onPicture(&picture);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
        onPicture.end();
        m_picture = picture;
        m_pictureKey = key;
    }
    painter->drawPixmap(frame->rect.topLeft(), m_picture);
}

} // namespace tolvane::dictwindow
