#pragma once
// The main window's client area: hosts the dictionary windows over the system's workspace
// colour, with the program's picture centred behind them.

#include <QMdiArea>
#include <QPixmap>

namespace tolvane::shell {

class Workspace : public QMdiArea {
    Q_OBJECT
public:
    explicit Workspace(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    // Where the picture is drawn in the viewport: centred, cropped evenly when the area is
    // smaller than the picture.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace tolvane::shell
