#pragma once
// The main window's client area: hosts the dictionary windows over the system's workspace
// colour, with the program's picture centred behind them. While no dictionary window is open
// (as on the first start) a short note at its top says how to begin.

#include <QMdiArea>
#include <QPixmap>
#include <QSize>

class QLabel;
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
    // The note on how to begin, shown only while no dictionary window is open.
    QLabel* welcomeNote() const { return m_welcome; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateWelcomeNote();

    QPixmap m_picture;
    QLabel* m_welcome = nullptr;
    QSize m_growth{0, 0};
};

} // namespace tolvane::shell
