// The help pages tell a new author what the program does: how the property
// box opens, the recording hot keys and the Pause button, and the limit of
// a recording's working file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string helpPage(const std::string& name) {
    std::ifstream in(std::string(VELMORA_SOURCE_ROOT) + "/help/" + name);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string allPages() {
    std::string all;
    for (const char* page :
         {"vuduziv.htm", "recording.htm", "editing.htm", "objects.htm", "sound.htm", "files.htm", "keys.htm"})
        all += helpPage(page);
    return all;
}

TEST(HelpPages, TellWhatTheProgramDoes) {
    struct Case {
        const char* page;
        const char* says;
    };
    const std::vector<Case> cases{
        {"objects.htm", "right mouse button"},
        {"objects.htm", "F10"},
        {"keys.htm", "F10"},
        {"recording.htm", "<b>Pause</b>"},
        {"recording.htm", "Alt+P"},
        {"recording.htm", "Alt+X"},
        {"recording.htm", "Alt+U"},
        {"recording.htm", "Alt+S"},
        {"keys.htm", "Alt+P"},
        {"keys.htm", "Alt+X"},
        {"recording.htm", "52428800 bytes"},
        {"recording.htm", "less than a minute"},
    };
    for (const Case& c : cases)
        EXPECT_NE(helpPage(c.page).find(c.says), std::string::npos) << c.page << " says " << c.says;
    EXPECT_EQ(allPages().find("long sessions stay small"), std::string::npos)
        << "the size limit contradicts it";
}

} // namespace
