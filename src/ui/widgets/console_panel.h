#pragma once

#include <QString>
#include <QWidget>

namespace vx::ui {

// A raised section of the console (a deck, the mixer, an equaliser): a rounded plate with an optional
// small caption along its top edge. Children are laid out by the owner's layout as usual; the
// contents margins leave room for the caption.
class ConsolePanel : public QWidget {
    Q_OBJECT

  public:
    explicit ConsolePanel(const QString& caption = {}, QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    // Recessed panels sit below the plate (e.g. an equaliser inside a deck).
    void setRecessed(bool recessed);
    bool isRecessed() const { return recessed_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void updateMargins();

    QString caption_;
    bool recessed_ = false;
};

}  // namespace vx::ui
