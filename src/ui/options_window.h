#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "options/options_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QCheckBox;
class QTimer;

namespace vx::ui {

class DjSlider;

// optionsF: the options dialog over an OptionsModel. Built, it loads the model (the stored settings
// and their defaults); closed in any way (its close button, Escape, Enter, the window system) it hands
// every control to the model, which stores and applies them. Modal.
class OptionsWindow : public QDialog {
    Q_OBJECT
  public:
    OptionsWindow(OptionsModel& model, QWidget* owner);
    ~OptionsWindow() override;

    // cmdAssociate: the file-association dialog, when the program has one.
    std::function<void()> onAssociate;

    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTitleBar();
    QWidget* buildSoundColumn();
    QWidget* buildTimingColumn();
    QWidget* buildSetupColumn();
    QWidget* sliderFrame(OptionsModel::Slider which, const char* name, const QString& caption,
                         const QString& tip, const QStringList& endLabels);
    void showModel();
    void showOutputStatus();

    OptionsModel& model_;
    QWidget* titleBar_ = nullptr;
    QLabel* imgIcon_ = nullptr;
    QComboBox* device_ = nullptr;
    QComboBox* quality_ = nullptr;
    QComboBox* latency_ = nullptr;
    QComboBox* phones_ = nullptr;
    QLabel* measured_ = nullptr;
    QLabel* underruns_ = nullptr;
    QCheckBox* limiter_ = nullptr;
    QCheckBox* autoGain_ = nullptr;
    std::array<QRadioButton*, 2> seek_{};
    std::array<QRadioButton*, 2> eqMode_{};
    std::array<QRadioButton*, 3> djSetup_{};
    std::array<DjSlider*, OptionsModel::kSliderCount> sliders_{};
    QLineEdit* playlistPath_ = nullptr;
    QTimer* statusTimer_ = nullptr;
    bool closed_ = false;
};

}  // namespace vx::ui
