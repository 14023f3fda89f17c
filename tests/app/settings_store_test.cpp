#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/ini_settings_store.h"

namespace vx {
namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class IniSettingsStoreTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString file() const { return dir.path() + "/Velumix/Velumix.conf"; }
};

TEST_F(IniSettingsStoreTest, MissingFileAndMissingNamesAnswerTheMarker) {
    IniSettingsStore store(file());
    EXPECT_EQ(store.read("Buffer"), kSettingNotFound);
    store.write("Buffer", "1.5");
    EXPECT_EQ(store.read("Buffer"), "1.5");
    EXPECT_EQ(store.read("pitchRange"), kSettingNotFound);
}

TEST_F(IniSettingsStoreTest, NamesAreComparedWithoutRegardToCaseAndKeepTheirFirstSpelling) {
    {
        IniSettingsStore store(file());
        store.write("InitQuality", "FM Quality - 22100Hz");
        store.write("initQuality", "CD Quality - 44100Hz");  // the same value
        EXPECT_EQ(store.read("INITQUALITY"), "CD Quality - 44100Hz");
    }
    const QByteArray text = contents(file());
    EXPECT_EQ(text.count("nitQuality="), 1) << text.constData();
    EXPECT_TRUE(text.contains("InitQuality=CD Quality - 44100Hz"));
    EXPECT_EQ(IniSettingsStore(file()).read("initquality"), "CD Quality - 44100Hz");
}

TEST_F(IniSettingsStoreTest, AnyTextSurvivesTheRoundTrip) {
    const QString tricky = "C:\\Music\\a=b\r\nsecond line \u00e9\u266b [x] ;not a comment";
    {
        IniSettingsStore store(file());
        store.write("Last Playlist", tricky);
        store.write("Empty", "");
    }
    IniSettingsStore again(file());
    EXPECT_EQ(again.read("last playlist"), tricky);
    EXPECT_EQ(again.read("Empty"), "");
}

TEST_F(IniSettingsStoreTest, LongValuesAreCutToWhatFitsTheReadBuffer) {
    IniSettingsStore store(file());
    store.write("fits", QString(2047, 'a'));
    store.write("cut", QString(2048, 'b'));
    store.write("long", QString(5000, 'c'));
    store.write("wide", QString(1500, QChar(0x00e9)));  // two bytes each: cut on a character boundary
    EXPECT_EQ(store.read("fits").size(), 2047);
    EXPECT_EQ(store.read("cut"), QString(2047, 'b'));
    EXPECT_EQ(store.read("long").size(), 2047);
    EXPECT_EQ(store.read("wide"), QString(1023, QChar(0x00e9)));
}

TEST_F(IniSettingsStoreTest, HandWrittenFilesAreReadForgivingly) {
    QDir().mkpath(dir.path() + "/Velumix");
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# comment\r\n[Velumix]\r\n  Buffer = 0.5\r\nno equals sign\r\nBUFFER=0.7\r\n=orphan\r\n");
    f.close();
    IniSettingsStore store(file());
    EXPECT_EQ(store.read("buffer"), "0.7");  // the later line wins, CR LF endings are fine
    EXPECT_EQ(store.read(""), kSettingNotFound);
}

TEST_F(IniSettingsStoreTest, AFolderThatCannotBeMadeIsSilent) {
    QFile blocker(dir.path() + "/Velumix");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    IniSettingsStore store(file());
    store.write("Buffer", "1.1");
    EXPECT_EQ(store.read("Buffer"), kSettingNotFound);
}

}  // namespace
}  // namespace vx
