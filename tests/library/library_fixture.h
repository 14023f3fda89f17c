#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "library/track_database.h"
#include "support/fakes.h"

namespace vx::test {

// A library file under a temporary data folder, and the dialogs that report on it.
class LibraryFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_library";
        static char* argv[] = {name, nullptr};
        // The SQL drivers are plugins, which Qt loads only with an application object.
        if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("data/Velumix/library.sqlite");
    FakeDialogs dialogs;

    static StoredAnalysis analysis(double bpm) {
        StoredAnalysis a;
        a.waveform = QByteArray(4096, char(int(bpm) & 0x7F));
        a.durationS = 180 + bpm;
        a.bpm = bpm;
        a.beatOffsetS = 0.125;
        a.bpmConfidence = 0.9;
        a.lufs = -9.5;
        a.truePeakDbtp = -0.3;
        a.audibleStartS = 0.25;
        a.audibleEndS = 179.5;
        return a;
    }
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
};

}  // namespace vx::test
