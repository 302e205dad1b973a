// The user management list: marks, and their removal through the configuration store.
#include <gtest/gtest.h>

#include "base/DialEntry.h"
#include "records/UserManagementModel.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

using Strings = std::vector<std::string>;
const std::string kEntry(kDialEntryName);
const std::string kZhang = "\xd5\xc5\xc8\xfd";

class Accounts : public testing::RecordFolderTest {
  protected:
    void SetUp() override {
        RecordFolderTest::SetUp();
        write("config.xml", testing::kRecordDecl + "<CONFIG>\r\n<" + kEntry +
                                ">\r\n<User NAME=\"alice\" PASSWORD=\"\"/>\r\n<User NAME=\"" +
                                kZhang +
                                "\" PASSWORD=\"\"/>\r\n<User NAME=\"bob\" PASSWORD=\"\"/>\r\n"
                                "<User NAME=\"alice\" PASSWORD=\"\"/>\r\n</" +
                                kEntry +
                                ">\r\n<LastUser>\r\n<User NAME=\"alice\" PASSWORD=\"\"/>\r\n"
                                "</LastUser>\r\n</CONFIG>\r\n");
    }
    Strings names(const UserManagementModel& m) {
        Strings out;
        for (const AccountRow& r : m.rows()) out.push_back(std::to_string(r.number) + ":" + r.name);
        return out;
    }
    Strings stored() {
        ConfigStore store(dir_);
        Strings n, p;
        store.ListAccounts(kEntry, n, p);
        return n;
    }
};

TEST_F(Accounts, MarkedAccountsGoOnlyWhenSaved) {
    {
        ConfigStore store(dir_);
        UserManagementModel model(store);
        model.load();
        EXPECT_EQ(names(model), (Strings{"1:alice", "2:" + kZhang, "3:bob", "4:alice"}));
        EXPECT_FALSE(model.mark({}));
        EXPECT_FALSE(model.canSave());
        EXPECT_TRUE(model.mark({2, 9}));
        EXPECT_EQ(names(model), (Strings{"1:alice", "2:" + kZhang, "4:alice"}));  // not renumbered
        EXPECT_TRUE(model.canSave());
    }
    // Leaving without saving changes nothing.
    EXPECT_EQ(stored(), (Strings{"alice", kZhang, "bob", "alice"}));
}

TEST_F(Accounts, SavingRemovesEveryAccountOfAMarkedNameAndTheLastUser) {
    ConfigStore store(dir_);
    UserManagementModel model(store);
    model.load();
    ASSERT_TRUE(model.mark({0, 2}));
    EXPECT_EQ(model.marked(), (Strings{"alice", "bob"}));
    model.save();
    model.save();  // again: nothing more to remove
    EXPECT_EQ(stored(), Strings{kZhang});
    Strings n, p;
    ConfigStore reloaded(dir_);
    EXPECT_FALSE(reloaded.GetLastAccount(n, p));
    model.load();
    EXPECT_EQ(names(model), Strings{"1:" + kZhang});
}

}  // namespace
}  // namespace tarnix
