#include "framework/command_target.h"
#include "framework/file_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvl::framework {
namespace {

TEST(FileNames, TitleIsTheNameWithoutFolderAndLastExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Audio\\WaveEdit.EXE", "WaveEdit"},
        {"C:\\Tools\\my.app.exe", "my.app"},
        {"D:/mixed\\path/Cubase.exe", "Cubase"},
        {"noext", "noext"},
        {"C:\\folder.with.dots\\plain", "plain"},
        {"x.qvl", "x"},
        {"", ""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(FileTitleOf(path), title) << path;
}

TEST(FileNames, DialogFilterSeparatesWithNulsAndEndsWithTwo) {
    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter("Quorvel2 Files (*.qvl)|*.qvl||"), "Quorvel2 Files (*.qvl)\0*.qvl\0\0"s);
    EXPECT_EQ(DialogFilter("A|*.a|B|*.b"), "A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(DialogFilter(""), "\0\0"s);
}

TEST(FileNames, TheFirstFileOnTheCommandLineSkipsOptionsAndKeepsQuotedBlanks) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"   ", ""},
        {"x.qvl", "x.qvl"},
        {"  \"C:\\My Keysets\\wave edit.qvl\"  other", "C:\\My Keysets\\wave edit.qvl"},
        {"/dde -x C:\\a.qvl", "C:\\a.qvl"},
        {"\"unterminated name", "unterminated name"},
        {"\"\" b.qvl", "b.qvl"},
    };
    for (const auto& [line, file] : cases)
        EXPECT_EQ(FirstFileArgument(line), file) << line;
}

// A target that records what ran.
class Recorder : public CommandTarget {
public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    void Handle(unsigned id) {
        OnCommand(id, [this, id] { log.push_back(name_ + ":" + std::to_string(id)); });
    }
    void HandleRange(unsigned first, unsigned last) {
        OnCommandRange(first, last, [this](unsigned id) { log.push_back(name_ + ":" + std::to_string(id)); });
    }
    void HandleNotification(unsigned id, unsigned code) {
        OnNotification(id, code, [this, id, code] {
            log.push_back(name_ + ":" + std::to_string(id) + "/" + std::to_string(code));
        });
    }
    void Update(unsigned id, std::function<void(CommandUpdate&)> update) { OnUpdateCommand(id, std::move(update)); }
    void UpdateRange(unsigned first, unsigned last, std::function<void(CommandUpdate&)> update) {
        OnUpdateCommandRange(first, last, std::move(update));
    }
    static std::vector<std::string> log;

private:
    std::string name_;
};
std::vector<std::string> Recorder::log;

struct RouteRig {
    Recorder view{"view"}, document{"document"}, frame{"frame"}, app{"app"};
    CommandRoute route{{&view, &document, nullptr, &app}};
    RouteRig() { Recorder::log.clear(); }
};

TEST(CommandRouting, TheFirstTargetOnTheRouteRunsTheCommand) {
    RouteRig rig;
    rig.document.Handle(32771);
    rig.app.Handle(32771);
    rig.app.Handle(57664);
    rig.view.HandleRange(2000, 2099);
    EXPECT_TRUE(rig.route.Execute(32771, kCommandCode, false));
    EXPECT_TRUE(rig.route.Execute(57664, kCommandCode, false));
    EXPECT_TRUE(rig.route.Execute(2042, kCommandCode, false));
    EXPECT_FALSE(rig.route.Execute(2100, kCommandCode, false));
    EXPECT_FALSE(rig.route.Execute(57643, kCommandCode, false));
    EXPECT_EQ(Recorder::log, (std::vector<std::string>{"document:32771", "app:57664", "view:2042"}));
}

TEST(CommandRouting, NotificationsMatchTheirCodeAndClicksCountAsCommands) {
    RouteRig rig;
    rig.view.Handle(1013);
    rig.view.HandleNotification(1000, 0x0300);           // EN_CHANGE
    EXPECT_TRUE(rig.route.Execute(1013, 0, true));       // a click
    EXPECT_TRUE(rig.route.Execute(1013, 0, false));      // the same command sent without a control
    EXPECT_FALSE(rig.route.Execute(1013, 0x0500, true)); // another notification of that button
    EXPECT_TRUE(rig.route.Execute(1000, 0x0300, true));
    EXPECT_FALSE(rig.route.Execute(1000, 0, true));
    EXPECT_EQ(Recorder::log, (std::vector<std::string>{"view:1013", "view:1013", "view:1000/768"}));
}

TEST(CommandRouting, UpdateHandlersDecideAndUnhandledCommandsShowDisabled) {
    RouteRig rig;
    bool exportable = false;
    rig.document.Handle(57604);
    rig.document.Update(57604, [&](CommandUpdate& u) { u.Enable(exportable); });
    rig.document.Handle(32771);
    rig.view.HandleRange(2000, 2099);
    rig.view.UpdateRange(2000, 2099, [](CommandUpdate& u) { u.SetCheck(u.Id() == 2001); });
    rig.app.Update(32773, [](CommandUpdate& u) { u.SetCheck(); }); // says nothing about enabling

    EXPECT_FALSE(rig.route.Query(57604).enabled);
    exportable = true;
    EXPECT_TRUE(rig.route.Query(57604).enabled);
    EXPECT_TRUE(rig.route.Query(32771).enabled);
    EXPECT_FALSE(rig.route.Query(32771).checked.has_value());
    EXPECT_FALSE(rig.route.Query(57643).enabled) << "no handler anywhere";
    EXPECT_TRUE(rig.route.Query(2001).enabled);
    EXPECT_EQ(rig.route.Query(2001).checked, std::optional<bool>(true));
    EXPECT_EQ(rig.route.Query(2000).checked, std::optional<bool>(false));
    EXPECT_FALSE(rig.route.Query(2100).enabled);
    EXPECT_FALSE(rig.route.Query(32773).enabled) << "checked but handled by nobody";
}

TEST(CommandRouting, ADisabledMenuCommandIsNotRunButAControlsNotificationIs) {
    RouteRig rig;
    bool enabled = false;
    rig.document.Handle(32775);
    rig.document.Update(32775, [&](CommandUpdate& u) { u.Enable(enabled); });
    EXPECT_TRUE(rig.route.Execute(32775, kCommandCode, false)) << "refused, but it is ours";
    EXPECT_TRUE(Recorder::log.empty());
    EXPECT_TRUE(rig.route.Execute(32775, kCommandCode, true)) << "a control's click is not a menu command";
    enabled = true;
    EXPECT_TRUE(rig.route.Execute(32775, kCommandCode, false));
    EXPECT_EQ(Recorder::log, (std::vector<std::string>{"document:32775", "document:32775"}));
}

} // namespace
} // namespace qvl::framework
