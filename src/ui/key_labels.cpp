#include "ui/key_labels.h"

#include <QLabel>
#include <QWidget>

#include "ui/widgets/console_scale.h"
#include "ui/widgets/dj_palette.h"

namespace vx {

namespace {

// The control each label stands beside, by label index (the keys it shows are the key table's).
constexpr std::array<const char*, KeyDispatch::kLabelCount> kAnchors{
    "LpitchScroll", "RpitchScroll", "playCB2",          "playCB",        "cueCB2", "cueCB",
    "LVolScroll",   "RvolScroll",   "crossFaderScroll", "MainVolScroll", "upCB"};

constexpr int kInset = 2;  // design pixels from the control's top left corner

}  // namespace

KeyLabels::KeyLabels(QWidget& window, const KeyDispatch& keys) : window_(window), keys_(keys) {
    for (int i = 0; i < KeyDispatch::kLabelCount; ++i) {
        auto* l = new QLabel(&window);
        l->setObjectName("keyboardTXT");
        l->setProperty("index", i);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setFont(ui::dj::labelFont(10));  // set on the label, so that the console's scale reaches it
        l->setStyleSheet(
            "QLabel { background: #f2d544; color: #101215; padding: 0px 3px; border-radius: 2px; }");
        l->hide();
        labels_[static_cast<std::size_t>(i)] = l;
        anchors_[static_cast<std::size_t>(i)] = window.findChild<QWidget*>(kAnchors[static_cast<std::size_t>(i)]);
    }
}

void KeyLabels::refresh() {
    const bool shown = keys_.labelsShown();
    for (int i = 0; i < KeyDispatch::kLabelCount; ++i) {
        QLabel* l = labels_[static_cast<std::size_t>(i)];
        if (!shown) {
            l->hide();
            continue;
        }
        l->setText(keys_.labelText(i));
        l->adjustSize();
        // Placed on every refresh: the panels move when the set-up changes.
        if (const QWidget* anchor = anchors_[static_cast<std::size_t>(i)]) {
            const int inset = ui::dj::scaled(&window_, kInset);
            l->move(anchor->mapTo(&window_, QPoint(inset, inset)));
        }
        l->show();
        l->raise();
    }
}

}  // namespace vx
