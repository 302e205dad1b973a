// The run options page over a config.xml in a temporary folder and a Run value the test
// keeps.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "../support/PromptRecorder.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "settings/RunOptionsForm.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

class FakeStartup : public StartupRegistration {
  public:
    RunValue query(const fs::path& program) override {
        if (!value) return RunValue::Absent;
        if (*value == program) return RunValue::Ours;
        return otherIsThere ? RunValue::Other : RunValue::Stale;
    }
    fs::path data() override { return value.value_or(fs::path()); }
    bool add(const fs::path& program) override {
        ++adds;
        if (!writable) return false;
        value = program;
        return true;
    }
    void remove() override {
        ++removes;
        value.reset();
    }

    std::optional<fs::path> value;
    bool writable = true;
    bool otherIsThere = true;  // a value naming another program names a file that exists
    int adds = 0, removes = 0;
};

const fs::path kProgram = "C:\\Tarnix\\Tarnix.exe";

class RunOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-runoptions-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        config_.reset();
        fs::remove_all(dir_);
    }

    // A config.xml with these settings, as a user may have edited it by hand.
    void open(const std::string& settings) {
        std::ofstream(dir_ / "config.xml", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
            << settings << "</CONFIG>\r\n";
        config_.emplace(dir_);
        form_.emplace(*config_, startup_, kProgram);
    }
    std::string value(const std::string& key) {
        std::ifstream in(dir_ / "config.xml", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        const auto begin = text.find("<" + key + ">");
        if (begin == std::string::npos) return "(missing)";
        const auto from = begin + key.size() + 2;
        return text.substr(from, text.find('<', from) - from);
    }

    fs::path dir_;
    FakeStartup startup_;
    std::optional<ConfigStore> config_;
    std::optional<RunOptionsForm> form_;
};

TEST_F(RunOptions, WithoutReconnectThePageOffersFiveSecondsAndAHundredTries) {
    open(
        "<Reconnect>0</Reconnect><RedialTimegrap>600</RedialTimegrap>"
        "<RedialTrytimes>7</RedialTrytimes>");
    RunOptionsFields fields = form_->load();
    EXPECT_FALSE(fields.reconnect);
    EXPECT_FALSE(fields.redialEnabled());
    EXPECT_EQ(gbText(kRedialIntervals[fields.intervalIndex].text), "5\xc3\xeb");  // 5秒
    EXPECT_EQ(fields.triesText, "100");

    fields.reconnect = true;
    form_->save(fields);
    EXPECT_EQ(value("Reconnect"), "1");
    EXPECT_EQ(value("RedialTimegrap"), "5");
    EXPECT_EQ(value("RedialTrytimes"), "100");
}

TEST_F(RunOptions, EachListEntryStoresItsSecondsAndReadsBack) {
    const char* stored[] = {"5", "10", "30", "60", "120", "300", "600"};
    for (int i = 0; i < 7; ++i) {
        open("<Reconnect>1</Reconnect><RedialTimegrap>" + std::string(stored[i]) +
             "</RedialTimegrap><RedialTrytimes>3</RedialTrytimes>");
        RunOptionsFields fields = form_->load();
        EXPECT_EQ(fields.intervalIndex, i) << stored[i];
        EXPECT_EQ(fields.triesText, "3");
        // Saved unchanged, the interval and tries are written again as they were.
        form_->save(fields);
        EXPECT_EQ(value("RedialTimegrap"), stored[i]);
        fields.intervalIndex = (i + 1) % 7;
        form_->save(fields);
        EXPECT_EQ(value("RedialTimegrap"), stored[(i + 1) % 7]);
    }
}

TEST_F(RunOptions, TriesTextsAreReadAsTheirLeadingNumber) {
    open(
        "<Reconnect>1</Reconnect><RedialTimegrap>10</RedialTimegrap>"
        "<RedialTrytimes>3</RedialTrytimes>");
    RunOptionsFields fields = form_->load();
    const std::pair<std::string, std::string> cases[] = {
        {"", "0"},       {"42", "42"}, {" 8", "8"},
        {"12abc", "12"}, {"-5", "0"},  {"99999999999999999999", std::to_string(INT_MAX)}};
    for (const auto& [typed, stored] : cases) {
        fields.triesText = typed;
        form_->save(fields);
        EXPECT_EQ(value("RedialTrytimes"), stored) << typed;
        EXPECT_EQ(value("RedialTimegrap"), "10");
    }
    // No interval selected and no tries: nothing to write.
    fields.intervalIndex = -1;
    fields.triesText = "";
    form_->save(fields);
    EXPECT_EQ(value("RedialTrytimes"), std::to_string(INT_MAX));
}

TEST_F(RunOptions, AHandEditedIntervalIsToldAndKeptUntilOneIsChosen) {
    for (std::string stored : {"abc", "7", "-5", "200", ""}) {
        SCOPED_TRACE(stored);
        open("<Reconnect>1</Reconnect><RedialTimegrap>" + stored +
             "</RedialTimegrap><RedialTrytimes>3</RedialTrytimes><Autoconnect>0</Autoconnect>");
        RunOptionsFields fields = form_->load();
        EXPECT_EQ(fields.intervalIndex, -1);
        fields.triesText = "9";
        fields.autoConnect = true;
        testing::PromptRecorder prompts;
        EXPECT_FALSE(form_->save(fields));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].text, text(IDS_REDIAL_NO_INTERVAL));
        EXPECT_EQ(value("RedialTimegrap"), stored);
        EXPECT_EQ(value("RedialTrytimes"), "3");
        EXPECT_EQ(value("Autoconnect"), "1") << "the rest of the page is saved";

        fields.intervalIndex = 3;
        EXPECT_TRUE(form_->save(fields));
        EXPECT_EQ(value("RedialTimegrap"), "60");
        EXPECT_EQ(value("RedialTrytimes"), "9");
        EXPECT_EQ(prompts.asked.size(), 1u);
    }
}

TEST_F(RunOptions, OnlyChangedFlagsAreWritten) {
    // Hand-edited flags of 2 show as set; saved unchanged they stay as they are.
    open(
        "<StartUp>0</StartUp><Autoconnect>2</Autoconnect><Alwaysconnect>2</Alwaysconnect>"
        "<Reconnect>0</Reconnect>");
    RunOptionsFields fields = form_->load();
    EXPECT_TRUE(fields.autoConnect);
    EXPECT_TRUE(fields.alwaysConnect);
    form_->save(fields);
    EXPECT_EQ(value("Autoconnect"), "2");
    EXPECT_EQ(value("Alwaysconnect"), "2");
    EXPECT_EQ(value("Reconnect"), "0");
    EXPECT_EQ(startup_.adds + startup_.removes, 0);

    // Applied, then saved again (as "确定" after "应用"): written once.
    fields.autoConnect = false;
    fields.reconnect = true;
    form_->save(fields);
    EXPECT_EQ(value("Autoconnect"), "0");
    EXPECT_EQ(value("Reconnect"), "1");
    config_->SetAutoConnect(true);  // so that a second write would show
    config_->SetReconnect(false);
    form_->save(fields);
    EXPECT_EQ(value("Autoconnect"), "1");
    EXPECT_EQ(value("Reconnect"), "0");
}

TEST_F(RunOptions, StartWithWindowsFollowsTheRunValue) {
    open("<StartUp>0</StartUp>");
    RunOptionsFields fields = form_->load();

    // The key cannot be written: the flag stays, and the next save tries again.
    startup_.writable = false;
    fields.startUp = true;
    form_->save(fields);
    EXPECT_EQ(value("StartUp"), "0");
    startup_.writable = true;
    form_->save(fields);
    EXPECT_EQ(value("StartUp"), "1");
    EXPECT_EQ(startup_.value, kProgram);
    EXPECT_EQ(startup_.adds, 2);
    form_->save(fields);
    EXPECT_EQ(startup_.adds, 2) << "written once";

    // A moved installation's value names a file that is gone: ticked, it is ours again.
    startup_.value = "C:\\Old\\Tarnix.exe";
    startup_.otherIsThere = false;
    EXPECT_TRUE(form_->save(fields));
    EXPECT_EQ(startup_.value, kProgram);

    // Another program's value is replaced only when the user agrees.
    startup_.otherIsThere = true;
    const fs::path other = "C:\\Other\\other.exe";
    {
        startup_.value = other;
        testing::PromptRecorder prompts;  // answers neither yes nor no: not replaced
        EXPECT_FALSE(form_->save(fields));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_NE(prompts.asked[0].text.find(L"C:\\Other\\other.exe"), std::wstring::npos);
        EXPECT_EQ(prompts.asked[0].buttons, PromptButtons::YesNo);
        EXPECT_EQ(startup_.value, other);
        EXPECT_FALSE(fields.startUp) << "the box is cleared";
        EXPECT_EQ(value("StartUp"), "1");
    }
    fields.startUp = true;
    setPromptHandler([](const PromptRequest&) { return int{kAnswerYes}; });
    EXPECT_TRUE(form_->save(fields));
    setPromptHandler({});
    EXPECT_EQ(startup_.value, kProgram);
    EXPECT_TRUE(fields.startUp);

    fields.startUp = false;
    form_->save(fields);
    EXPECT_EQ(value("StartUp"), "0");
    EXPECT_FALSE(startup_.value);
    EXPECT_EQ(startup_.removes, 1);
}

TEST_F(RunOptions, UntickingStoresZeroAndRemovesTheValueEvenWhenAbsent) {
    open("<StartUp>1</StartUp>");
    RunOptionsFields fields = form_->load();
    EXPECT_TRUE(fields.startUp);
    fields.startUp = false;
    form_->save(fields);
    EXPECT_EQ(value("StartUp"), "0");
    EXPECT_EQ(startup_.removes, 1);

    // Unticked and remembered so, another program's value is left alone.
    startup_.value = "C:\\Other\\other.exe";
    form_->save(fields);
    EXPECT_EQ(startup_.value, fs::path("C:\\Other\\other.exe"));
}

TEST_F(RunOptions, UntickingLeavesAnotherProgramsValue) {
    // StartUp says ticked, but another program has taken the name since.
    open("<StartUp>1</StartUp>");
    startup_.value = "C:\\Other\\other.exe";
    RunOptionsFields fields = form_->load();
    fields.startUp = false;
    EXPECT_TRUE(form_->save(fields));
    EXPECT_EQ(value("StartUp"), "0");
    EXPECT_EQ(startup_.value, fs::path("C:\\Other\\other.exe"));
    EXPECT_EQ(startup_.removes, 0);
}

}  // namespace
}  // namespace tarnix
