#pragma once

#include <QAbstractSlider>
#include <QPoint>

namespace vx::ui {

// A fader drawn like a DJ console's: a dark groove, tick marks and a metal cap. Vertical faders grow
// downwards (the minimum sits at the top), horizontal ones to the right; the value is always the raw
// position, so callers turn it into meaning themselves (see mixer::levelFromDownwardSlider).
//
// largeChange/smallChange are the page and single steps. Arrow keys and the wheel move the cap the way
// they point: Up moves a vertical cap up, which lowers its value.
class DjSlider : public QAbstractSlider {
    Q_OBJECT

  public:
    // Where the coloured fill inside the groove starts: none, at the minimum end, the maximum end or
    // the centre (for pitch faders).
    enum class Fill { None, FromMinimum, FromMaximum, FromCentre };

    explicit DjSlider(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    int largeChange() const { return pageStep(); }
    void setLargeChange(int step) { setPageStep(step); }
    int smallChange() const { return singleStep(); }
    void setSmallChange(int step) { setSingleStep(step); }

    // Distance between tick marks in value units; 0 draws none.
    void setTickInterval(int interval);
    int tickInterval() const { return tickInterval_; }
    void setFill(Fill fill);
    Fill fill() const { return fill_; }

    // The value under a point of the widget (follows the cap's travel, clamped to the range).
    int valueAtPoint(QPoint point) const;
    // The cap's rectangle for the current value.
    QRect capRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // While the user drags the cap (one per position change).
    void scrolling(int value);
    // When a user action has left the cap at a new value: drag released, key step, wheel, click.
    void valueSettled(int value);
    // Any mouse button pressed on the slider.
    void mousePressed(Qt::MouseButton button);
    // Something was dropped on the slider; `source` is the dragging widget when it is in this program.
    void dropped(QObject* source, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int capLength() const;  // along the travel
    int travelStart() const;
    int travelSpan() const;
    int pixelOf(int value) const;  // centre of the cap along the travel for a value
    void stepBy(int delta);        // a user step, announced as settled
    void paintTicks(class QPainter& p, const QRect& groove) const;
    void paintCap(class QPainter& p) const;

    int tickInterval_ = 0;
    Fill fill_ = Fill::None;
    int dragOffset_ = 0;
    int pressValue_ = 0;
    int wheelRemainder_ = 0;
};

}  // namespace vx::ui
