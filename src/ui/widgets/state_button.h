#pragma once

#include <QAbstractButton>
#include <QPoint>

namespace vx::ui {

// A console push button whose colour shows a state the model owns: the window sets `lit` from the
// model and never reads it back to decide anything.
//   Green:   lit = bright green (on), unlit = dark green (off).
//   Kill:    lit = bright red (band killed), unlit = dark red.
//   Neutral: a plain transport key; lit gives it a green LED edge (e.g. the deck's play state).
class StateButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum class Style { Neutral, Green, Kill };

    explicit StateButton(const QString& text = {}, Style style = Style::Neutral, QWidget* parent = nullptr);

    void setStyle(Style style);
    Style style() const { return style_; }
    void setLit(bool lit);
    bool isLit() const { return lit_; }

    // The colour the face is drawn with for the current style and state.
    QColor faceColour() const;

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
};

}  // namespace vx::ui
