#include "app/wizard_loop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/ui/wait_cursor.h"
#include "platform/fake/scripted_prompter.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Records every step the loop takes; dialogs answer from a script.
class ScriptedSteps final : public WizardSteps, public BusyIndicator {
 public:
  bool companyFound = true;
  std::string orgNo = "556677-8899";
  std::string email;
  bool autoLoginSucceeds = false;
  std::deque<int> login, choice, prepare;
  std::vector<std::string> transcript;

  bool SelectSourceCompany(const std::string& folder) override {
    transcript.push_back("select " + folder);
    return companyFound;
  }
  std::string OrganisationNumber() override { return orgNo; }
  std::string Email() override { return email; }
  void SetEmail(const std::string& e) override {
    transcript.push_back("email " + e);
    email = e;
  }
  bool LogInAutomatically() override {
    transcript.push_back("auto login");
    return autoLoginSucceeds;
  }
  int RunLogin() override { return Run("login", login); }
  int RunCompanyChoice() override { return Run("choice", choice); }
  int RunPrepareAndSend() override { return Run("prepare", prepare); }
  void BeginBusy() override { transcript.push_back("wait"); }
  void EndBusy() override { transcript.push_back("/wait"); }

 private:
  int Run(const std::string& name, std::deque<int>& script) {
    if (script.empty()) throw std::logic_error("unscripted " + name);
    const int result = script.front();
    script.pop_front();
    transcript.push_back(name + " " + std::to_string(result));
    return result;
  }
};

struct Pass {
  ScriptedSteps steps;
  platform::fake::ScriptedPrompter prompter;
  void Run(const WizardStart& start) { RunWizardLoop(start, steps, prompter, steps); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& p : prompter.shown) {
      EXPECT_EQ(p.caption, "Tessal Molnix Converter");
      EXPECT_EQ(p.icon, platform::PromptIcon::Error);
      texts.push_back(p.text);
    }
    return texts;
  }
};

const WizardStart kAlone{0, "", ""};
const WizardStart kFromAdmin{1, "/data/Demo AB", "anna@example.se"};
const WizardStart kFromAdminNoEmail{1, "/data/Demo AB", ""};

TEST(WizardLoop, StartedAloneRunsTheThreeDialogsAndEndsWithTheCompletedTransfer) {
  Pass pass;
  pass.steps.email = "";
  pass.steps.login = {1};
  pass.steps.choice = {1016};
  pass.steps.prepare = {2};
  pass.Run(WizardStart{0, "/ignored", "ignored@example.se"});  // "-U" alone has no effect
  EXPECT_THAT(pass.steps.transcript, ElementsAre("login 1", "choice 1016", "prepare 2"));
  EXPECT_THAT(pass.Messages(), IsEmpty());
}

TEST(WizardLoop, EachDialogsCancelOrFailureEndsTheProgramSilently) {
  struct Case {
    std::deque<int> login, choice, prepare;
    std::vector<std::string> transcript;
  };
  const Case cases[] = {
      {{2}, {}, {}, {"login 2"}},
      {{-1}, {}, {}, {"login -1"}},
      {{1}, {2}, {}, {"login 1", "choice 2"}},
      {{1}, {-1}, {}, {"login 1", "choice -1"}},
      {{1}, {1016}, {2}, {"login 1", "choice 1016", "prepare 2"}},
  };
  for (const Case& c : cases) {
    Pass pass;
    pass.steps.login = c.login;
    pass.steps.choice = c.choice;
    pass.steps.prepare = c.prepare;
    pass.Run(kAlone);
    EXPECT_THAT(pass.steps.transcript, ElementsAreArray(c.transcript));
    EXPECT_THAT(pass.Messages(), IsEmpty());
  }
}

TEST(WizardLoop, RestartGoesBackToTheCompanyChoiceAndOtherChoiceResultsShowItAgain) {
  Pass pass;
  pass.steps.login = {1};
  pass.steps.choice = {0, 1016, 1016};
  pass.steps.prepare = {1013, 2};
  pass.Run(kAlone);
  EXPECT_THAT(pass.steps.transcript, ElementsAre("login 1", "choice 0", "choice 1016", "prepare 1013",
                                                 "choice 1016", "prepare 2"));
}

TEST(WizardLoop, PreselectedCompanyThatCannotBeUsedEndsWithItsMessage) {
  Pass notFound;
  notFound.steps.companyFound = false;
  notFound.Run(kFromAdmin);
  EXPECT_THAT(notFound.steps.transcript, ElementsAre("select /data/Demo AB"));
  EXPECT_THAT(notFound.Messages(), ElementsAre("Företaget kunde inte hittas."));

  Pass noOrgNo;
  noOrgNo.steps.orgNo = "";
  noOrgNo.Run(kFromAdmin);
  EXPECT_THAT(noOrgNo.steps.transcript, ElementsAre("select /data/Demo AB"));
  EXPECT_THAT(noOrgNo.Messages(), ElementsAre("Organisationsnummer saknas i företaget."));
}

TEST(WizardLoop, AutomaticLoginSkipsTheLoginUntilLogoutAndIsNotRepeated) {
  Pass pass;
  pass.steps.autoLoginSucceeds = true;
  pass.steps.choice = {1003, 2};
  pass.steps.login = {1};
  pass.Run(kFromAdmin);
  EXPECT_THAT(pass.steps.transcript,
              ElementsAre("select /data/Demo AB", "email anna@example.se", "wait", "auto login", "/wait",
                          "choice 1003", "login 1", "choice 2"));
  EXPECT_THAT(pass.Messages(), IsEmpty());
}

TEST(WizardLoop, FailedAutomaticLoginOpensTheLoginSilently) {
  Pass pass;
  pass.steps.autoLoginSucceeds = false;
  pass.steps.login = {2};
  pass.Run(kFromAdmin);
  EXPECT_THAT(pass.steps.transcript,
              ElementsAre("select /data/Demo AB", "email anna@example.se", "wait", "auto login", "/wait", "login 2"));
  EXPECT_THAT(pass.Messages(), IsEmpty());
}

TEST(WizardLoop, WithoutAnEmailThePreselectedCompanyGoesStraightToTheLogin) {
  Pass pass;
  pass.steps.login = {1};
  pass.steps.choice = {2};
  pass.Run(kFromAdminNoEmail);
  EXPECT_THAT(pass.steps.transcript, ElementsAre("select /data/Demo AB", "login 1", "choice 2"));
}

TEST(WizardLoop, AnUnknownLoginResultStartsThePreselectionAgain) {
  Pass pass;
  pass.steps.login = {7, 2};
  pass.Run(kFromAdminNoEmail);
  EXPECT_THAT(pass.steps.transcript,
              ElementsAre("select /data/Demo AB", "login 7", "select /data/Demo AB", "login 2"));
}

}  // namespace
