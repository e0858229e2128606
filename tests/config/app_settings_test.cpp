// The settings object: its defaults as written, the default paths and the
// checks made at start-up.
#include "config/app_settings.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "common/scoped_env.h"
#include "config/ini.h"

TEST(AppSettings, FreshObjectWritesEveryKeyOnce) {
    AppSettings settings;
    LIni ini;
    settings.registerKeys(ini);
    const std::string text(settings.configText().view());
    ASSERT_TRUE(text.starts_with("; Quillfind Configuration File\r\n")) << text;
    // Each line names a registered key, none twice.
    std::set<std::string> keys;
    for (size_t at = text.find("\r\n") + 2; at < text.size(); at = text.find("\r\n", at) + 2) {
        const std::string key = text.substr(at, text.find('=', at) - at);
        EXPECT_TRUE(std::as_const(ini).find(key) && keys.insert(key).second) << key;
    }
    EXPECT_EQ(int(keys.size()), ini.count());
}

TEST(AppSettings, DefaultPathsFollowTheUserFolders) {
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg/home");
    ScopedEnv cache("XDG_CACHE_HOME", "/cache/home");
    EXPECT_EQ(defaultConfigPath(), "/cfg/home/VeloSoft/Quillfind.cfg");
    EXPECT_EQ(AppSettings().ixfDir, "/cache/home/VeloSoft/Quillfind_ix/");
}

TEST(AppSettings, WindowPositionCheck) {
    struct Case {
        WindowRect rect;
        bool kept;
    } cases[] = {
        {{1910, 10, 800, 600}, true},    // the last 10 pixels still show
        {{1911, 10, 800, 600}, false},   // right of the screen
        {{10, 1071, 800, 600}, false},   // below it
        {{10, 10, 9, 600}, false},       // too narrow
        {{10, 10, 800, 9}, false},       // too low
        {{-791, 10, 800, 600}, false},   // left of it (a monitor that is gone)
        {{10, -591, 800, 600}, false},   // above it
        {{-790, -590, 800, 600}, true},  // partly visible
        {{1000, 1000, INT32_MAX, INT32_MAX}, true},
    };
    for (const auto& c : cases) {
        AppSettings s;
        s.mainRc = c.rect;
        s.checkWindowPosition(1920, 1080);
        EXPECT_EQ(s.mainRc, c.kept ? c.rect : WindowRect{})
            << c.rect.x << "," << c.rect.y << "," << c.rect.width << "," << c.rect.height;
    }
}

TEST(AppSettings, StartUpChecksKeepValidTypesAndSplitExtensions) {
    AppSettings s;
    s.nonTextExt = " doc ;\trtf;;PDF ";
    s.schFiles = {"*.md"};
    for (auto [type, kept] : {std::pair{0, 1}, {1, 1}, {3, 3}, {4, 1}}) {
        s.schType = type;
        s.startUpChecks(1920, 1080);
        EXPECT_EQ(s.schType, kept) << type;
    }
    EXPECT_EQ(s.schFiles, (LStrList{"*.md"}));
    EXPECT_EQ(s.nonTextExtList, (LStrList{"doc", "rtf", "PDF"}));
    EXPECT_TRUE(s.isNonTextExtension("pdf"));
    EXPECT_FALSE(s.isNonTextExtension("txt"));
}
