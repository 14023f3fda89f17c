#include <QApplication>
#include <QLabel>

#include "version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(vx::kProductName);
    label.show();
    return app.exec();
}
