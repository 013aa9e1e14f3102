// The login step's controller, logging in to the cloud stand-in.
#include "app/ui/login.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/import_job.h"
#include "app/ui/dialog_results.h"
#include "app/ui/wait_cursor.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/folders.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FakeView final : public LoginView, public BusyIndicator {
 public:
  void SetCaption(const std::string& c) override { caption = c; }
  void SetFields(const LoginFields& f) override { fields = f; }
  LoginFields Fields() const override { return fields; }
  void EnableOk(bool e) override { okEnabled = e; }
  void EnableOrgNo(bool e) override { orgNoEnabled = e; }
  void FocusPassword() override { passwordFocused = true; }
  void RunWhileWaiting(const std::function<void()>& work) override { work(); }
  void EndDialog(int r) override { result = r; }
  void BeginBusy() override { ++busy; }
  void EndBusy() override { --busy, ++busySpells; }

  std::string caption;
  LoginFields fields;
  bool okEnabled = false, orgNoEnabled = false, passwordFocused = false;
  int result = 0, busy = 0, busySpells = 0;
};

struct Dialog {
  explicit Dialog(int sourceKind = 0) : controller(job, clouds, sourceKind, view, prompter, view) {}
  CMlxImportJob job;
  std::vector<CloudCompany> clouds;
  FakeView view;
  platform::fake::ScriptedPrompter prompter;
  LoginController controller;
};

TEST(Login, OpensWithTheJobsValues) {
  struct Case {
    int sourceKind;
    std::string email, password;
    bool okEnabled, orgNoEnabled, passwordFocused;
  };
  const Case cases[] = {
      {0, "", "", false, true, false},
      {0, "anna@example.se", "", false, true, true},
      {0, "", "hemligt", false, true, false},
      {0, "anna@example.se", "hemligt", true, true, true},
      {1, "anna@example.se", "", false, false, true},  // a desktop program chose the company
      {2, "", "", false, false, false},
  };
  for (const Case& c : cases) {
    Dialog d(c.sourceKind);
    d.job.SetEmail(c.email);
    d.job.SetPassword(c.password);
    d.job.SetOrgNo("556677-8899");
    d.controller.OnInitDialog();
    EXPECT_EQ(d.view.caption, "Tessal Molnix Converter");
    EXPECT_EQ(d.view.fields.email, c.email);
    EXPECT_EQ(d.view.fields.password, c.password);
    EXPECT_EQ(d.view.fields.orgNo, "556677-8899");
    EXPECT_EQ(d.view.okEnabled, c.okEnabled) << c.email << "/" << c.password;
    EXPECT_EQ(d.view.orgNoEnabled, c.orgNoEnabled) << c.sourceKind;
    EXPECT_EQ(d.view.passwordFocused, c.passwordFocused) << c.email;
  }
}

TEST(Login, OkIsEnabledWhileBothRequiredFieldsHoldText) {
  Dialog d;
  d.controller.OnInitDialog();
  const struct {
    LoginFields fields;
    bool enabled;
  } cases[] = {
      {{"a@b.se", "x", ""}, true},
      {{"a@b.se", "", "556677-8899"}, false},
      {{"", "x", "556677-8899"}, false},
      {{"", "", ""}, false},
  };
  for (const auto& c : cases) {
    d.view.fields = c.fields;
    d.controller.OnCredentialsChanged();
    EXPECT_EQ(d.view.okEnabled, c.enabled) << c.fields.email << "/" << c.fields.password;
  }
}

// Logging in needs the service: each test of OK has a stand-in of its own.
class LoginAtTheService : public testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    folder_ = *platform::MakeUniqueFolder(platform::TempFolder(), "login-test-");
    KLCRMiscFunc::SetIniPath(folder_.string());
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Presses OK with these fields; answers the dialog's result (0 while it stays open).
  int PressOk(Dialog& d, LoginFields fields) {
    d.controller.OnInitDialog();
    d.view.fields = std::move(fields);
    d.controller.OnCredentialsChanged();
    EXPECT_TRUE(d.view.okEnabled);
    d.controller.OnOk();
    EXPECT_EQ(d.view.busy, 0);
    EXPECT_EQ(d.view.busySpells, 1);
    return d.view.result;
  }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  std::filesystem::path folder_;
};

std::vector<std::string> Ids(const std::vector<CloudCompany>& companies) {
  std::vector<std::string> ids;
  for (const auto& c : companies) ids.push_back(c.id);
  return ids;
}

TEST_F(LoginAtTheService, OkLogsInAndEndsWithTheUsersCompanies) {
  Dialog d;
  EXPECT_EQ(PressOk(d, {"anna@example.se", "hemligt", ""}), dialog_result::kOk);
  EXPECT_THAT(Ids(d.clouds), ElementsAre("c-1001", "c-1002"));
  EXPECT_EQ(d.clouds[0].name, "Åsa Öberg AB");
  EXPECT_EQ(d.job.Email(), "anna@example.se");
  EXPECT_EQ(d.job.UserName(), "anna@example.se");
  EXPECT_EQ(d.job.FirstName(), "Anna");
  EXPECT_EQ(d.job.LastName(), "Åberg");
  EXPECT_THAT(d.prompter.shown, IsEmpty());
}

TEST_F(LoginAtTheService, TheOrganisationNumberFiltersTheCompanies) {
  const struct {
    std::string orgNo;
    std::vector<std::string> ids;
  } cases[] = {
      {"5566778899", {"c-1001"}},
      {"556123-4567", {"c-1002"}},
      {"5", {"c-1001", "c-1002"}},  // one character filters nothing
  };
  for (const auto& c : cases) {
    Dialog d;
    EXPECT_EQ(PressOk(d, {"anna@example.se", "hemligt", c.orgNo}), dialog_result::kOk) << c.orgNo;
    EXPECT_EQ(Ids(d.clouds), c.ids) << c.orgNo;
    EXPECT_EQ(d.job.OrgNo(), c.orgNo);
  }
}

TEST_F(LoginAtTheService, NoReachableCompanyKeepsTheDialogOpenWithTheNoAccessText) {
  // "utan" has no company (the service answers 404); anna has none with this number (0, empty list).
  const LoginFields cases[] = {{"utan@example.se", "hemligt", ""}, {"anna@example.se", "hemligt", "195501011234"}};
  for (const auto& fields : cases) {
    Dialog d;
    EXPECT_EQ(PressOk(d, fields), 0) << fields.email;
    EXPECT_THAT(d.clouds, IsEmpty());
    ASSERT_EQ(d.prompter.shown.size(), 1u);
    const platform::Prompt& box = d.prompter.shown[0];
    EXPECT_EQ(box.caption, "Tessal Molnix Converter");
    EXPECT_EQ(box.icon, platform::PromptIcon::Error);
    EXPECT_EQ(box.text,
              "Du har inte tillgång till något företag med detta organisationsnummer i Riv oder.\n\n"
              "Logga in på Riv oder och kontrollera att företaget finns och att du har godkänt "
              "användarvillkoren för aktuellt företag.");
  }
}

TEST_F(LoginAtTheService, OtherCodesShowTheirTextAndTheUserMayTryAgain) {
  Dialog d;
  EXPECT_EQ(PressOk(d, {"anna@example.se", "fel", ""}), 0);
  ASSERT_EQ(d.prompter.shown.size(), 1u);
  EXPECT_EQ(d.prompter.shown[0].caption, "Fel vid anrop till Riv oder");
  EXPECT_EQ(d.prompter.shown[0].icon, platform::PromptIcon::Error);
  EXPECT_EQ(d.prompter.shown[0].text, "Inloggningen misslyckades. Kontrollera e-postadress och lösenord.");

  cloud_.SetFault("customers", 503, 0, 1);
  d.view.fields.password = "hemligt";
  d.controller.OnOk();
  ASSERT_EQ(d.prompter.shown.size(), 2u);
  EXPECT_EQ(d.prompter.shown[1].text, GetRestErrorText(503));
  EXPECT_EQ(d.view.result, 0);

  d.controller.OnOk();  // the fault has passed
  EXPECT_EQ(d.view.result, dialog_result::kOk);
  EXPECT_EQ(d.clouds.size(), 2u);
}

}  // namespace
