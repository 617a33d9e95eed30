// The settings file as a damaged disk or a careless edit may leave it: the program reads
// what it can, keeps the rest and says clearly when it cannot save.

#include "core/common/error.h"
#include "platform/qsettingsstore.h"

#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

class SettingsFileFault : public ::testing::Test
{
protected:
    SettingsFileFault()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QDir().mkpath(dir.path() + u"/Korvane"_s);
    }
    QString conf() const { return dir.path() + u"/Korvane/Vespira-HTML-LIGHT.conf"_s; }
    void writeConf(const QByteArray &bytes) const
    {
        QFile f(conf());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFileFault, GarbageAroundValuesKeepsTheReadableOnes)
{
    writeConf("[General]\nHoehe=420\n\xFF\xFE\0\1\x80 garbage \"unclosed\n=ohne Namen\n[kaputt\nWeite=\xC3\x28\xED\xA0\x80\n"
              + QByteArray(200000, 'z') + "\nFarbe=clHighlight\n"_ba);
    platform::QSettingsStore store;
    EXPECT_EQ(store.read(u"Hoehe"_s), u"420"_s);
    EXPECT_EQ(store.read(u"Farbe"_s), u"clHighlight"_s);
    (void)store.read(u"Weite"_s); // invalid UTF-8: some text, no crash

    // A write keeps every value that could be read, and another reader sees it at once.
    store.write(u"Lesezeichen_Utf8_Straße"_s, u"300"_s);
    platform::QSettingsStore other;
    EXPECT_EQ(other.read(u"Lesezeichen_Utf8_Straße"_s), u"300"_s);
    EXPECT_EQ(other.read(u"Hoehe"_s), u"420"_s);
    EXPECT_EQ(other.read(u"Farbe"_s), u"clHighlight"_s);
    store.remove(u"Hoehe"_s);
    EXPECT_EQ(other.read(u"Hoehe"_s), QString());
}

TEST_F(SettingsFileFault, FolderInPlaceOfTheFileReadsEmptyAndWritesFailClearly)
{
    ASSERT_TRUE(QDir().mkpath(conf()));
    platform::QSettingsStore store;
    EXPECT_EQ(store.read(u"Hoehe"_s), QString());
    try {
        store.write(u"Hoehe"_s, u"420"_s);
        FAIL() << "the write was reported as done";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().startsWith(u"Die Einstellungen können nicht gespeichert werden: "_s))
            << e.message().toStdString();
    }
    EXPECT_TRUE(QFileInfo(conf()).isDir());
}

} // namespace
