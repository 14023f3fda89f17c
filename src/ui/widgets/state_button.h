#pragma once

#include <QAbstractButton>
#include <QPoint>
#include <QRgb>

namespace vx::ui {

// A console push button whose colour shows a state the model owns: the window sets `lit` from the
// model and never reads it back to decide anything.
//   Green:   lit = the whole face bright green (on); unlit = a dim face with an unlit green strip (off).
//   Kill:    lit = the whole face bright red (band killed); unlit = dim with an unlit red strip.
//   Neutral: a plain transport key; lit turns its strip green (e.g. the deck's play state).
// Disabled, any key is flat grey with faint text; its tool tip should say why.
class StateButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum class Style { Neutral, Green, Kill };

    explicit StateButton(const QString& text = {}, Style style = Style::Neutral, QWidget* parent = nullptr);

    void setStyle(Style style);
    Style style() const { return style_; }
    void setLit(bool lit);
    // A plain key's strip in a colour of its own (a hot cue's, as its mark shows it); 0: the style's.
    void setLedColour(QRgb colour) {
        ledColour_ = colour;
        update();
    }
    bool isLit() const { return lit_; }

    // The colours the face and the LED strip are drawn with for the current style and state.
    QColor faceColour() const;
    QColor ledColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // Any mouse button pressed (the left-button press also drives pressed()/clicked()).
    void mousePressed(Qt::MouseButton button);
    void dropped(QObject* source, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    Style style_;
    bool lit_ = false;
    QRgb ledColour_ = 0;
};

}  // namespace vx::ui
