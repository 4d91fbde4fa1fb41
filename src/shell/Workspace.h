#pragma once
// The main window's client area: hosts the dictionary windows over the system's workspace
// colour, with the program's picture centred behind them.

#include <QMdiArea>
#include <QPixmap>
#include <QSize>

class QMdiSubWindow;

namespace tolvane::shell {

class Workspace : public QMdiArea {
    Q_OBJECT
public:
    explicit Workspace(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }

    // How much larger than at its default size the main window is (never negative). Each
    // dictionary window is its designed size plus this, so that it fills the client area
    // of a larger main window and is exactly as designed at the default size.
    void setGrowth(const QSize& growth);
    QSize growth() const { return m_growth; }
    // Sizes a child window by its designed (smallest) size and the growth.
    void fit(QMdiSubWindow* sub) const;
    // Where the picture is drawn in the viewport: centred, cropped evenly when the area is
    // smaller than the picture.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
    QSize m_growth{0, 0};
};

} // namespace tolvane::shell
