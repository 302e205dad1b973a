// The message centre over a store in a folder of its own: the list, the search, a click
// (header line and text byte for byte, the link only for a web address), deletion of
// exactly the chosen messages, the export through the save dialog's seam, and two centres
// at once. Then the main window's part: a list arriving after link-up, its pop-up and the
// menu's unread count, and a store file too large to hold.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TextIds.h"
#include "base/Texts.h"
#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/PathAnswerer.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"
#include "../support/WindowPump.h"
#include "app/win/MainWindow.h"
#include "base/ShellOpen.h"
#include "messages/MessageStore.h"
#include "messages/win/MessageCenterDialog.h"
#include "messages/win/MessagePopup.h"
#include "messages_ids.h"
#include "resource.h"
#include "base/CodePage.h"
#include "store/ConfigStore.h"
#include "widgets/win/Pickers.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::pumpPending;
using testing::pumpUntil;
using Rows = std::vector<std::vector<std::wstring>>;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

const std::string kSystem = utf8ToGb("系统消息");

class MessageCenterTest : public ::testing::Test {
  protected:
    MessageCenterTest()
        : folder_(fs::temp_directory_path() /
                  ("tarnix-msgcentre-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        store_ = std::make_unique<MessageStore>(folder_);
        store_->append(kSystem, utf8ToGb("停机通知"), "2026-12-01", "08:00:00",
                       "http://news.example/a?x=1&y=2", utf8ToGb("今晚 <维护> & \"升级\""));
        store_->append("other", "B", "2026-12-01", "09:00:00", "", "no link");
        store_->append(kSystem, "C", "2026-12-01", "09:00:00", "javascript:alert(1)", "same time");
        store_->append(kSystem, "D", "2026-12-02", "10:00:00", "file:///C:/x.exe", "d");
        setShellOpenHandler([this](const std::string& address) {
            opened_.push_back(address);
            return true;
        });
    }
    ~MessageCenterTest() override {
        for (HWND w : open_)
            if (IsWindow(w)) DestroyWindow(w);
        pumpPending();
        setShellOpenHandler({});
        setShellOpenFileHandler({});
        store_.reset();
        fs::remove_all(folder_);
    }
    DialogDriver openCentre() {
        MessageCenterDialog* centre = MessageCenterDialog::open(*store_);
        EXPECT_NE(centre, nullptr);
        open_.push_back(centre ? centre->hwnd() : nullptr);
        pumpPending();
        return DialogDriver(open_.back());
    }
    // A click on row `row`, as the list tells it.
    static void clickRow(DialogDriver& centre, int row) {
        ListView list(centre.control(IDC_MSG_LIST));
        list.select(-1, false);
        list.select(row);
        NMITEMACTIVATE click{};
        click.hdr = {list.hwnd(), IDC_MSG_LIST, static_cast<UINT>(NM_CLICK)};
        click.iItem = row;
        SendMessageW(centre.hwnd(), WM_NOTIFY, IDC_MSG_LIST, reinterpret_cast<LPARAM>(&click));
    }
    static void clickLink(DialogDriver& centre) {
        NMHDR click{centre.control(IDC_MSG_LINK), IDC_MSG_LINK, static_cast<UINT>(NM_CLICK)};
        SendMessageW(centre.hwnd(), WM_NOTIFY, IDC_MSG_LINK, reinterpret_cast<LPARAM>(&click));
    }
    static void pickDate(DialogDriver& centre, WORD year, WORD month, WORD day) {
        SYSTEMTIME t{year, month, 0, day, 12, 0, 0, 0};
        DateTimePicker(centre.control(IDC_MSG_DATE)).setTime(t);
    }

    fs::path folder_;
    std::unique_ptr<MessageStore> store_;
    std::vector<HWND> open_;
    std::vector<std::string> opened_;
};

const Rows kAllRows = {{L"停机通知", L"2026-12-01", L"08:00:00", L"今晚 <维护> & \"升级\""},
                       {L"B", L"2026-12-01", L"09:00:00", L"no link"},
                       {L"C", L"2026-12-01", L"09:00:00", L"same time"},
                       {L"D", L"2026-12-02", L"10:00:00", L"d"}};

TEST_F(MessageCenterTest, ListsClicksSearchesAndOpensOnlyWebAddresses) {
    DialogDriver centre = openCentre();
    wchar_t title[64];
    GetWindowTextW(centre.hwnd(), title, 64);
    EXPECT_STREQ(title, L"历史消息管理");
    EXPECT_EQ(centre.rows(IDC_MSG_LIST), kAllRows);
    EXPECT_EQ(centre.text(IDC_MSG_TYPE), L"所有消息");
    EXPECT_EQ(SendMessageW(centre.control(IDC_MSG_TYPE), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(centre.text(IDC_MSG_HEADER), L"发送日期:\t\t发送时间：\t\t消息标题：");
    EXPECT_FALSE(centre.enabled(IDC_MSG_LINK));
    // The columns share the list: the title shows whole, and nothing needs a scroll bar.
    ListView list(centre.control(IDC_MSG_LIST));
    EXPECT_GE(list.columnWidth(0), list.cellWidth(L"停机通知"));
    EXPECT_EQ(list.columnWidth(0) + list.columnWidth(1) + list.columnWidth(2) + list.columnWidth(3),
              list.roomForColumns());

    clickRow(centre, 0);
    EXPECT_EQ(centre.text(IDC_MSG_HEADER),
              L"发送日期：2026-12-01\t发送时间：08:00:00\t消息标题：停机通知");
    std::wstring body = centre.text(IDC_MSG_TEXT);
    EXPECT_EQ(body, L"\t\t\t\t\t停机通知\r\n    今晚 <维护> & \"升级\"");
    ASSERT_TRUE(centre.enabled(IDC_MSG_LINK));
    clickLink(centre);
    EXPECT_EQ(opened_, (std::vector<std::string>{"http://news.example/a?x=1&y=2"}));

    clickRow(centre, 1);  // no address
    EXPECT_FALSE(centre.enabled(IDC_MSG_LINK));
    clickRow(centre, 3);  // a file address never opens
    EXPECT_FALSE(centre.enabled(IDC_MSG_LINK));
    clickLink(centre);
    EXPECT_EQ(opened_.size(), 1u);

    // Escape is swallowed.
    SendMessageW(centre.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(centre.hwnd()));

    // The message below the list stays while a search lists it, and goes when none does.
    clickRow(centre, 0);
    const std::wstring shownHeader = centre.text(IDC_MSG_HEADER);
    pickDate(centre, 2026, 12, 1);
    centre.click(IDC_MSG_SEARCH);
    EXPECT_EQ(centre.rows(IDC_MSG_LIST), (Rows{kAllRows[0], kAllRows[1], kAllRows[2]}));
    centre.choose(IDC_MSG_TYPE, 1);
    centre.click(IDC_MSG_SEARCH);
    EXPECT_EQ(centre.rows(IDC_MSG_LIST), (Rows{kAllRows[0], kAllRows[2]}));
    EXPECT_EQ(centre.text(IDC_MSG_HEADER), shownHeader);
    EXPECT_TRUE(centre.enabled(IDC_MSG_LINK));
    pickDate(centre, 2026, 12, 3);
    centre.click(IDC_MSG_SEARCH);
    EXPECT_TRUE(centre.rows(IDC_MSG_LIST).empty());
    EXPECT_EQ(centre.text(IDC_MSG_HEADER), L"发送日期:\t\t发送时间：\t\t消息标题：");
    EXPECT_EQ(centre.text(IDC_MSG_TEXT), L"");
    EXPECT_FALSE(centre.enabled(IDC_MSG_LINK));

    ASSERT_TRUE(centre.click(IDC_MSG_EXIT));
    EXPECT_FALSE(IsWindow(centre.hwnd()));
}

TEST_F(MessageCenterTest, ARowOpensItsOwnLinkWhenAnotherSharesItsDateAndTime) {
    store_->append(kSystem, "E", "2026-12-01", "09:00:00", "http://news.example/e", "e");
    DialogDriver centre = openCentre();
    clickRow(centre, 4);
    ASSERT_TRUE(centre.enabled(IDC_MSG_LINK));
    clickLink(centre);
    EXPECT_EQ(opened_, (std::vector<std::string>{"http://news.example/e"}));
    clickRow(centre, 1);  // "B", at the same time, has none
    EXPECT_FALSE(centre.enabled(IDC_MSG_LINK));
}

TEST_F(MessageCenterTest, DeletesExactlyTheChosenAfterTwoQuestionsAndExportsThroughTheSeam) {
    DialogDriver centre = openCentre();
    {
        testing::PromptRecorder prompts;
        centre.click(IDC_MSG_DELETE);
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].text, L"请选择待删除的记录！");
    }
    std::vector<PromptRequest> asked;
    int answer = kAnswerNo;
    setPromptHandler([&](const PromptRequest& r) {
        asked.push_back(r);
        return answer;
    });
    ListView list(centre.control(IDC_MSG_LIST));
    list.select(2);  // C, which shares its time with B
    centre.click(IDC_MSG_DELETE);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, L"确定要删除？");
    EXPECT_EQ(asked[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(centre.rows(IDC_MSG_LIST).size(), 4u) << "No keeps everything";

    answer = kAnswerYes;
    clickRow(centre, 0);  // shown below the list, then deleted with C
    list.select(2);
    centre.click(IDC_MSG_DELETE);
    setPromptHandler({});
    EXPECT_EQ(centre.rows(IDC_MSG_LIST), (Rows{kAllRows[1], kAllRows[3]}));
    EXPECT_EQ(centre.text(IDC_MSG_TEXT), L"") << "no longer listed: no longer shown";
    const auto kept = MessageStore(folder_).messages();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].title, "B") << "B shares C's time and stays";
    EXPECT_EQ(kept[1].title, "D");

    // Export: cancelled writes nothing; twice gives the rows twice; then the file opens.
    std::vector<fs::path> openedFiles;
    setShellOpenFileHandler([&](const fs::path& file) {
        openedFiles.push_back(file);
        return true;
    });
    const fs::path file = folder_ / "export.txt";
    {
        testing::PathAnswerer cancelled(std::nullopt);
        centre.click(IDC_MSG_EXPORT);
        ASSERT_EQ(cancelled.asked.size(), 1u);
        EXPECT_EQ(cancelled.asked[0].title, L"保存用户记录文件");
        EXPECT_EQ(cancelled.asked[0].filter, L"文本文件(*.txt)|*.txt");
        EXPECT_EQ(cancelled.asked[0].defaultExtension, L"txt");
    }
    EXPECT_FALSE(fs::exists(file));
    {
        testing::PathAnswerer answerer(file);
        centre.click(IDC_MSG_EXPORT);
        centre.click(IDC_MSG_EXPORT);
    }
    const std::string rows = "B\t2026-12-01\t09:00:00\tno link\r\nD\t2026-12-02\t10:00:00\td\r\n";
    EXPECT_EQ(readAll(file), rows + rows);
    EXPECT_EQ(openedFiles, (std::vector<fs::path>{file, file}));
}

TEST_F(MessageCenterTest, TwoCentresShareTheStore) {
    DialogDriver first = openCentre();
    DialogDriver second = openCentre();
    ASSERT_NE(first.hwnd(), second.hwnd());
    std::vector<PromptRequest> asked;
    setPromptHandler([&](const PromptRequest&) { return kAnswerYes; });
    ListView(first.control(IDC_MSG_LIST)).select(3);
    first.click(IDC_MSG_DELETE);
    setPromptHandler({});
    EXPECT_EQ(first.rows(IDC_MSG_LIST).size(), 3u);
    EXPECT_EQ(second.rows(IDC_MSG_LIST).size(), 4u) << "each window lists what it searched";

    // The other window's stale row neither crashes nor removes another message.
    ListView(second.control(IDC_MSG_LIST)).select(3);
    setPromptHandler([&](const PromptRequest&) { return kAnswerYes; });
    second.click(IDC_MSG_DELETE);
    setPromptHandler({});
    EXPECT_EQ(store_->messages().size(), 3u);
    clickRow(second, 0);
    EXPECT_TRUE(second.enabled(IDC_MSG_LINK)) << "the walk starts from the top each time";
    pickDate(second, 2026, 12, 1);
    second.click(IDC_MSG_SEARCH);
    EXPECT_EQ(second.rows(IDC_MSG_LIST).size(), 3u);
    first.click(IDC_MSG_EXIT);
    EXPECT_TRUE(IsWindow(second.hwnd()));
}

// A store grown large, and a message of a megabyte, open at once and show whole.
TEST_F(MessageCenterTest, AStoreOfManyThousandsOpensQuickly) {
    store_.reset();
    const DWORD writing = GetTickCount();
    {
        std::ofstream out(folder_ / "MessageInfo.xml", std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<MessageRecord>\r\n";
        for (int i = 0; i < 100000; ++i)
            out << "<ITEM MType=\"t\" MTitle=\"n" << i << "\" MDate=\"2026-12-01\" MTime=\"" << i
                << "\" MUrl=\"\" MContent=\"c\"/>\r\n";
        out << "<ITEM MType=\"t\" MTitle=\"big\" MDate=\"2026-12-02\" MTime=\"1\" MUrl=\"\" MContent=\""
            << std::string(1u << 20, 'x') << "\"/>\r\n</MessageRecord>\r\n";
    }
    const DWORD start = GetTickCount();
    std::printf("file written in %lu ms\n", static_cast<unsigned long>(start - writing));
    store_ = std::make_unique<MessageStore>(folder_);
    const DWORD loaded = GetTickCount();
    DialogDriver centre = openCentre();
    const DWORD shown = GetTickCount();
    std::printf("100,001 messages: store loaded in %lu ms, centre open in %lu ms\n",
                static_cast<unsigned long>(loaded - start), static_cast<unsigned long>(shown - loaded));
    ListView list(centre.control(IDC_MSG_LIST));
    ASSERT_EQ(list.rowCount(), 100001);
    EXPECT_EQ(list.cell(99999, 0), L"n99999");
    EXPECT_LT(shown - loaded, 5000u);
    const DWORD clicked = GetTickCount();
    clickRow(centre, 100000);
    std::printf("a click on a message of 1 MB shows it in %lu ms\n",
                static_cast<unsigned long>(GetTickCount() - clicked));
    EXPECT_EQ(centre.text(IDC_MSG_HEADER), L"发送日期：2026-12-02\t发送时间：1\t消息标题：big");
    EXPECT_GT(centre.text(IDC_MSG_TEXT).size(), 1000u);
}

// The main window with a provider whose list arrives after link-up.
TEST(MessageDeskTest, ANewListPopsUpCountsUnreadAndAClickOpensTheCentreOnIt) {
    testing::DialRig rig("msgdesk");
    testing::PromptRecorder prompts;
    testing::RecordingPower power;
    std::ofstream(rig.folder / "Provider.ini", std::ios::binary)
        << "[Messages]\r\nURL=http://127.0.0.1:9/messages.xml\r\n";
    MessageStore store(rig.folder);
    std::atomic<int> fetches{0};
    const std::string list =
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<MessageRecord>\r\n"
        "<ITEM MType=\"" + kSystem + "\" MTitle=\"" + utf8ToGb("欢迎") +
        "\" MDate=\"2026-12-07\" MTime=\"09:00:00\" MUrl=\"\" MContent=\"" + utf8ToGb("你好") +
        "\"/>\r\n<ITEM MType=\"" + kSystem +
        "\" MTitle=\"two\" MDate=\"2026-12-07\" MTime=\"10:00:00\" MUrl=\"\" MContent=\"2\"/>\r\n"
        "</MessageRecord>\r\n";
    auto window = std::make_unique<MainWindow>(MainWindow::Services{
        *rig.config, rig.connectManage.get(), rig.folder, &rig.clock, &power, &store,
        [&](const std::string& address) -> std::optional<std::string> {
            EXPECT_EQ(address, "http://127.0.0.1:9/messages.xml");
            ++fetches;
            return list;
        }});
    ASSERT_NE(window->create(nullptr), nullptr);
    pumpPending();
    auto itemText = [&](HMENU menu) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, ID_MESSAGE_CENTER, text, 64, MF_BYCOMMAND);
        return std::wstring(text);
    };
    EXPECT_EQ(itemText(GetMenu(window->hwnd())), L"消息中心");
    EXPECT_EQ(fetches, 0) << "nothing before the link is up";

    SendMessageW(window->hwnd(), WM_LINK_UP, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return window->messageDesk().currentPopup() != nullptr; }));
    EXPECT_EQ(store.messages().size(), 2u);
    EXPECT_EQ(itemText(GetMenu(window->hwnd())), L"消息中心 (2 条未读)");
    HMENU tray = window->loadTrayMenu();
    EXPECT_EQ(itemText(tray), L"消息中心 (2 条未读)");
    EXPECT_TRUE(GetMenuState(tray, ID_MESSAGE_POPUPS, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(tray);

    MessagePopup* popup = window->messageDesk().currentPopup();
    wchar_t popupTitle[32];
    GetDlgItemTextW(popup->hwnd(), IDC_POPUP_TITLE, popupTitle, 32);
    EXPECT_STREQ(popupTitle, L"欢迎");
    popup->click();
    HWND centre = nullptr;
    ASSERT_TRUE(pumpUntil([&] {
        centre = FindWindowW(L"#32770", L"历史消息管理");
        return centre != nullptr;
    }));
    DialogDriver driver(centre);
    EXPECT_EQ(driver.text(IDC_MSG_HEADER), L"发送日期：2026-12-07\t发送时间：09:00:00\t消息标题：欢迎");
    EXPECT_EQ(itemText(GetMenu(window->hwnd())), L"消息中心 (1 条未读)") << "read once shown";
    DestroyWindow(centre);

    // The next pop-up follows; turning pop-ups off writes MsgPop.
    ASSERT_TRUE(pumpUntil([&] { return window->messageDesk().currentPopup() != nullptr; }));
    SendMessageW(window->hwnd(), WM_COMMAND, ID_MESSAGE_POPUPS, 0);
    EXPECT_FALSE(rig.config->GetMessagePopup());
    EXPECT_FALSE(GetMenuState(GetMenu(window->hwnd()), ID_MESSAGE_POPUPS, MF_BYCOMMAND) & MF_CHECKED);

    // The same list again adds nothing.
    const int before = fetches;
    SendMessageW(window->hwnd(), WM_LINK_DOWN, 0, 0);
    SendMessageW(window->hwnd(), WM_LINK_UP, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return fetches > before; }));
    for (DWORD until = GetTickCount() + 300; GetTickCount() < until; Sleep(10)) pumpPending();
    EXPECT_EQ(store.messages().size(), 2u);

    // The centre is the main window's: above it (always on top as it is), without a
    // taskbar button of its own; opened while the window waits in the tray, it shows.
    ShowWindow(window->hwnd(), SW_MINIMIZE);
    ASSERT_FALSE(IsWindowVisible(window->hwnd()));
    SendMessageW(window->hwnd(), WM_COMMAND, ID_MESSAGE_CENTER, 0);
    HWND open = FindWindowW(L"#32770", L"历史消息管理");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(GetWindow(open, GW_OWNER), window->hwnd());
    EXPECT_FALSE(GetWindowLongW(open, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(IsWindowVisible(open));
    // A centre still open when the main window goes closes with it.
    DestroyWindow(window->hwnd());
    window.reset();
    pumpPending();
    EXPECT_FALSE(IsWindow(open));
}

// A store file too large to hold: the centre opens on the empty store and says why, once.
TEST(MessageDeskTest, AStoreTooLargeToHoldIsToldOnceWhenTheCentreOpens) {
    testing::DialRig rig("msgdesk-large");
    testing::PromptRecorder prompts;
    testing::RecordingPower power;
    std::ofstream(rig.folder / "MessageInfo.xml", std::ios::binary) << "<MessageRecord/>";
    fs::resize_file(rig.folder / "MessageInfo.xml", std::uintmax_t(2) << 30);  // sparse
    MessageStore store(rig.folder);
    ASSERT_TRUE(store.isTooLargeThisRun());
    auto window = std::make_unique<MainWindow>(MainWindow::Services{
        *rig.config, rig.connectManage.get(), rig.folder, &rig.clock, &power, &store, {}});
    ASSERT_NE(window->create(nullptr), nullptr);
    pumpPending();
    for (int i = 0; i < 2; ++i) {
        SendMessageW(window->hwnd(), WM_COMMAND, ID_MESSAGE_CENTER, 0);
        HWND centre = FindWindowW(L"#32770", L"历史消息管理");
        ASSERT_NE(centre, nullptr);
        DestroyWindow(centre);
    }
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].text, tarnix::text(IDS_MSG_STORE_TOO_LARGE));
    EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Warning);
    DestroyWindow(window->hwnd());
    window.reset();
    pumpPending();
    EXPECT_EQ(fs::file_size(rig.folder / "MessageInfo.xml"), std::uintmax_t(2) << 30);
}

}  // namespace
}  // namespace tarnix
