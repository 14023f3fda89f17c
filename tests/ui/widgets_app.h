#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QImage>
#include <QTest>
#include <QWidget>

namespace vx::test {

// The one QApplication the widget tests share (created on first use if no other test made one).
inline QApplication& widgetsApp() {
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QApplication::instance())) return *existing;
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A fixture member declared before any widget member, so the application exists first.
struct WithApp {
    WithApp() { widgetsApp(); }
};

// The control called `name` under `root` (the one whose "index" property is `index`, when not -1), found as a
// user meets it: by its name.
template <class T = QWidget>
T* named(QWidget* root, const char* name, int index = -1) {
    for (T* w : root->findChildren<T*>(name))
        if (index < 0 || w->property("index").toInt() == index) return w;
    ADD_FAILURE() << "no control " << name << " " << index;
    return nullptr;
}
inline void click(QWidget* root, const char* name, int index = -1) {
    QTest::mouseClick(named(root, name, index), Qt::LeftButton);
}

// What the widget paints, as an image of its own size.
inline QImage render(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    w.render(&image);
    return image;
}

// A drag carrying `mime` enters `target` and is dropped there, as a hand or a file manager would; false when
// the target refused it on entering.
inline bool dropOn(QWidget* target, const QMimeData& mime) {
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

}  // namespace vx::test
