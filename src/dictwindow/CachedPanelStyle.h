#pragma once
// The application's style for one widget, with the widget's panel kept as a picture between
// paints. A line edit repaints its whole panel for every key typed, and the panel's rounded,
// antialiased frame costs more to stroke than the text and the search behind it. The picture
// is drawn by the style itself and drawn again whenever anything it depends on changes (size,
// state such as focus or hover, palette, direction, frame options, pixel ratio).

#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOptionFrame>

namespace tolvane::dictwindow {

class CachedPanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    // `panel`: the primitive kept as a picture (for a line edit, PE_PanelLineEdit).
    explicit CachedPanelStyle(PrimitiveElement panel, QObject* parent = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    // Everything in a frame option the style may draw by. Compared on every paint, so kept
    // as plain values rather than serialised.
    struct PictureKey {
        QSize size;
        qreal ratio = 0;
        int state = 0, direction = 0, lineWidth = 0, midLineWidth = 0, features = 0, shape = 0;
        qint64 palette = 0;
        int fontHeight = 0;
        bool operator==(const PictureKey&) const = default;
    };
    static PictureKey pictureKey(const QStyleOptionFrame& frame, qreal ratio);

    PrimitiveElement m_panel;
    mutable QPixmap m_picture;
    mutable PictureKey m_pictureKey;
};

} // namespace tolvane::dictwindow
