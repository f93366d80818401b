#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/registry.h"
#include "util/settings.h"

namespace {

const std::string App = NSRegistry::AppRoot;

// What the store holds, read directly from the file.
std::string Stored(const std::string& entry) {
    QSettings store(QString::fromStdString(NSRegistry::StoreFile()), QSettings::IniFormat);
    return store.value(QString::fromStdString(entry), "<missing>").toString().toStdString();
}

void Store(const std::string& key, const std::string& value, const std::string& text) {
    ASSERT_TRUE(NSRegistry::SetValue(App + "\\" + key, value, text));
}

TEST(Registry, StoreLivesInTheConfiguredDirectoryAndKeepsKeyPaths) {
    const char* dir = std::getenv("BRIMVALE_CONFIG_DIR");
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(NSRegistry::StoreFile(), std::string(dir) + "/1.0.ini");
    Store("Filters\\Echo", "Delay", "1.5");
    EXPECT_EQ(Stored("Filters/Echo/Delay"), "1.5");
    EXPECT_FALSE(NSRegistry::SetValue("Software\\Other", "x", "1"));

    char small[4];
    uint32_t type = 0, size = sizeof small;
    EXPECT_EQ(NSRegistry::QueryValue(App + "\\Filters\\Echo", "Delay", &type, small, &size),
              NSRegistry::Success);
    EXPECT_STREQ(small, "1.5");
    EXPECT_EQ(type, NSRegistry::TypeString);
    Store("Filters\\Echo", "Delay", "12.25");
    size = sizeof small;
    EXPECT_EQ(NSRegistry::QueryValue(App + "\\Filters\\Echo", "Delay", &type, small, &size),
              NSRegistry::MoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(NSRegistry::QueryValue(App + "\\Filters", "Nothing", &type, small, &size),
              NSRegistry::NotFound);
}

TEST(Settings, IntegerExtraction) {
    struct Case {
        const char* stored;
        int32_t expected;
    };
    const Case cases[] = {{"abc", 1024}, {" 2048", 2048}, {"", 1024},
                          {"-5", -5},    {"77x", 77},     {"99999999999", 1024}};
    for (const Case& k : cases) {
        Store("Undo", "MaxSize", k.stored);
        TValueSetting setting("Undo\\MaxSize", 1024);
        EXPECT_EQ(setting.Get(), k.expected) << '"' << k.stored << '"';
    }
    TValueSetting missing("Print\\Pages", 1);
    EXPECT_EQ(missing.Get(), 1);
}

TEST(Settings, ValuesAreCachedAndWrittenBackAtOnce) {
    TValueSetting setting("View\\BackColor", 8388608);
    EXPECT_EQ(setting.Get(), 8388608);
    EXPECT_EQ(Stored("View/BackColor"), "<missing>"); // reading writes nothing
    EXPECT_EQ(setting.Set(255), 255);
    EXPECT_EQ(Stored("View/BackColor"), "255");

    Store("View", "BackColor", "1"); // another program's change is not seen
    EXPECT_EQ(setting.Get(), 255);
    setting.Set(255); // equal to the cached value: nothing written
    EXPECT_EQ(Stored("View/BackColor"), "1");

    // A first set writes even when the store already holds the same text.
    Store("View", "WaveColor", "65535");
    TValueSetting wave("View\\WaveColor", 65535);
    QSettings store(QString::fromStdString(NSRegistry::StoreFile()), QSettings::IniFormat);
    store.remove("View/WaveColor");
    store.sync();
    wave.Set(65535);
    EXPECT_EQ(Stored("View/WaveColor"), "65535");

    // A fresh object over the same store reads what the first one wrote.
    TValueSetting fresh("View\\BackColor", 0);
    EXPECT_EQ(fresh.Get(), 1);
}

TEST(Settings, AWriteSurvivesAProcessThatDiesRightAfterIt) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TValueSetting vol("Filters\\Amp\\Vol", 50);
        vol.Set(80);
        _exit(0); // no destructors, no flushing at exit
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    TValueSetting vol("Filters\\Amp\\Vol", 50);
    EXPECT_EQ(vol.Get(), 80);
}

TEST(Settings, DoubleTextForm) {
    TDoubleSetting delay("Filters\\Echo\\Delay", 1.0);
    EXPECT_EQ(delay.Get(), 1.0);
    delay.Set(0.5);
    EXPECT_EQ(Stored("Filters/Echo/Delay"), "0.5");
    delay.Set(22.05);
    EXPECT_EQ(Stored("Filters/Echo/Delay"), "22.05");
    Store("Filters\\Echo", "Delay", "fast");
    TDoubleSetting bad("Filters\\Echo\\Delay", 1.0);
    EXPECT_EQ(bad.Get(), 1.0);
}

TEST(Settings, StringsAreStrippedAndEmptyReadsAsDefault) {
    TStrSetting dir("App\\LastDir");
    EXPECT_EQ(dir.Set("  /home/a user/sounds \t"), "/home/a user/sounds");
    EXPECT_EQ(Stored("App/LastDir"), "/home/a user/sounds");

    Store("App", "LastDir", "");
    TStrSetting empty("App\\LastDir", "/default");
    EXPECT_EQ(empty.Get(), "/default");

    const std::string longText(300, 'x');
    Store("App", "LastFile", "  " + longText + "  ");
    TStrSetting file("App\\LastFile");
    EXPECT_EQ(file.Get(), longText);
}

TEST(Settings, WindowPlacementText) {
    TWindowPlacementSetting placement("App\\Placement");
    TWindowPlacement p;
    EXPECT_FALSE(placement.Restore(&p)); // nothing stored: maximised

    TWindowPlacement saved{0, 1, -1, -1, -8, -8, 10, 20, 810, 620};
    placement.Save(saved);
    EXPECT_EQ(Stored("App/Placement"), "1 0 1 -1 -1 -8 -8 10 20 810 620");
    TWindowPlacementSetting again("App\\Placement");
    ASSERT_TRUE(again.Restore(&p));
    EXPECT_EQ(p, saved);

    for (const char* text : {"2 0 1 -1 -1 -8 -8 10 20 810 620", "1 0 1 -1 -1 -8", "junk"}) {
        Store("App", "Placement", text);
        TWindowPlacementSetting bad("App\\Placement");
        EXPECT_FALSE(bad.Restore(&p)) << text;
    }
}

TEST(Settings, KeyAndValueNamesSplitAtTheLastBackslash) {
    TRegDir dir(App, "Filters\\Echo\\Vol", false);
    EXPECT_EQ(dir.Key(), App + "\\Filters\\Echo");
    EXPECT_EQ(dir.ValueName(), "Vol");
    TRegDir top(App, "Top", false);
    EXPECT_EQ(top.Key(), App);
    EXPECT_EQ(top.ValueName(), "Top");
    TRegDir whole(App, "View", true);
    EXPECT_EQ(whole.Key(), App + "\\View");
    EXPECT_EQ(whole.ValueName(), "");
    dir.WriteText("50");
    EXPECT_EQ(dir.ReadText().GetLong(), 50);
    EXPECT_EQ(TRegDir(App, "Filters\\Echo\\None", false).ReadText("7").GetLong(), 7);
}

} // namespace
