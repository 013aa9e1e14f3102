#include "app/ui/company_choice.h"

#include <gtest/gtest.h>

#include <map>

#include "app/import_job.h"
#include "app/desktop/desktop_services.h"
#include "app/ui/dialog_results.h"
#include "app/ui/wait_cursor.h"
#include "platform/fake/recording_url_opener.h"
#include "platform/fake/scripted_prompter.h"
#include "sources/vardo/vardo_environment.h"

namespace {

using platform::PromptAnswer;

class FakeView final : public CompanyChoiceView, public BusyIndicator {
 public:
  void SetTexts(const std::string& c, const std::string& u, const std::string& i) override {
    caption = c, userText = u, introduction = i;
  }
  void SetTargetEntries(const std::vector<std::string>& e) override { targets = e, target = -1; }
  void SelectTarget(int i) override { target = i; }
  int TargetSelection() const override { return target; }
  void SetSourceEntries(const std::vector<std::string>& e) override { sources = e, source = -1; }
  void SelectSource(int i) override { source = i < static_cast<int>(sources.size()) ? i : -1; }
  int SourceSelection() const override { return source; }
  void SetSourcePath(const std::string& p) override { path = p; }
  void EnableNext(bool e) override { nextEnabled = e; }
  void SetPriceListEntries(const std::vector<std::string>& e) override { priceLists = e, priceList = -1; }
  void SelectPriceList(int i) override { priceList = i < static_cast<int>(priceLists.size()) ? i : -1; }
  int PriceListSelection() const override { return priceList; }
  void ShowPriceLists(bool s) override { priceListsShown = s; }
  void RunWhileWaiting(const std::function<void()>& work) override { work(); }
  void EndDialog(int r) override { result = r; }
  void BeginBusy() override { ++busy; }
  void EndBusy() override { --busy, ++busySpells; }

  std::string caption, userText, introduction, path;
  std::vector<std::string> targets, sources, priceLists;
  int target = -1, source = -1, priceList = -1, result = 0, busy = 0, busySpells = 0;
  bool nextEnabled = false, priceListsShown = false;
};

class FakeServices final : public CompanyChoiceServices {
 public:
  std::vector<SourceCompany> GetSourceCompanies() override { return sourceCompanies; }
  int FetchApiToken() override { return ++tokenFetches, 0; }
  std::string GetHelpBaseUrl() override { return helpBase; }
  bool ListPriceLists(const std::string& folder, int edition, std::vector<std::string>& codes,
                      std::vector<std::string>& entries) override {
    if (edition == 200) return false;
    const auto it = priceLists.find(folder);
    if (it == priceLists.end()) return false;
    for (const auto& code : it->second) codes.push_back(code), entries.push_back(code + " - lista");
    return true;
  }
  bool IsKlLinkEmpty(const std::string& folder) override { return !linked.count(folder); }

  std::vector<SourceCompany> sourceCompanies;
  std::map<std::string, std::vector<std::string>> priceLists;
  std::map<std::string, bool> linked;
  std::string helpBase = "https://help.example/";
  int tokenFetches = 0;
};

SourceCompany Admin(std::string path, int edition, double version = 7.0) {
  const int product = edition == 800 ? 2 : edition == 400 ? 3 : 1;
  return {kSourceAdmin, product, edition, version, version >= 5.0, std::move(path), "556677-8899", "Åsa Öberg AB"};
}

SourceCompany Vardo(std::string path, int edition) {
  return {kSourceVardo, 0, edition, 3.0, true, std::move(path), "556677-8899", "Vardo AB"};
}

const CloudCompany kNorr{"556677-8899", "Norr AB", "c-norr", "SE", 1, 1};
const CloudCompany kSyd{"556000-0001", "Syd AB", "c-syd", "SE", 1, 2};

struct Fixture {
  explicit Fixture(std::vector<CloudCompany> clouds) : cloudCompanies(std::move(clouds)) {
    job.SetEmail("anna@firma.se");
    job.SetNames("Anna", "Berg");
  }
  CompanyChoiceController& Controller() {
    controller = std::make_unique<CompanyChoiceController>(job, cloudCompanies, view, services, prompter, opener, view);
    return *controller;
  }
  std::vector<CloudCompany> cloudCompanies;
  CMlxImportJob job;
  FakeView view;
  FakeServices services;
  platform::fake::ScriptedPrompter prompter;
  platform::fake::RecordingUrlOpener opener;
  std::unique_ptr<CompanyChoiceController> controller;
};

TEST(CompanyChoice, TwoCloudCompaniesStartWithNothingChosen) {
  Fixture f({kNorr, kSyd});
  f.services.sourceCompanies = {Admin("/ftg/a", 1000), Admin("/ftg/b", 500)};
  auto& c = f.Controller();
  c.OnInitDialog();
  EXPECT_EQ(f.view.caption, "Tessal Molnix Converter");
  EXPECT_EQ(f.view.userText, "Anna Berg, anna@firma.se");
  EXPECT_EQ(f.view.targets, (std::vector<std::string>{"", "Norr AB, 556677-8899", "Syd AB, 556000-0001"}));
  EXPECT_EQ(f.view.target, 0);
  EXPECT_TRUE(f.view.sources.empty());
  EXPECT_EQ(f.view.path, "");
  EXPECT_FALSE(f.view.nextEnabled);

  f.view.SelectTarget(2);
  c.OnTargetCompanyChanged();
  EXPECT_EQ(f.job.GetCloudCompany(), kSyd);
  EXPECT_EQ(f.view.sources, (std::vector<std::string>{"", "Åsa Öberg AB (Tessal Administration 1000)",
                                                      "Åsa Öberg AB (Tessal Administration 500)"}));
  EXPECT_FALSE(f.view.nextEnabled);
  f.view.SelectSource(2);
  c.OnSourceCompanyChanged();
  EXPECT_EQ(f.view.path, "/ftg/b");
  EXPECT_TRUE(f.view.nextEnabled);
}

TEST(CompanyChoice, SingleCompaniesAreChosenAtOnce) {
  Fixture f({kNorr});
  f.services.sourceCompanies = {Admin("/ftg/a", 1000)};
  f.services.priceLists["/ftg/a"] = {"P1", "P2"};
  f.Controller().OnInitDialog();
  EXPECT_EQ(f.view.targets, (std::vector<std::string>{"Norr AB, 556677-8899"}));
  EXPECT_EQ(f.view.target, 0);
  EXPECT_EQ(f.job.GetCloudCompany(), kNorr);
  EXPECT_EQ(f.view.sources.size(), 1u);
  EXPECT_EQ(f.job.GetSourceCompany().path, "/ftg/a");
  EXPECT_EQ(f.view.path, "/ftg/a");
  EXPECT_TRUE(f.view.nextEnabled);
  EXPECT_TRUE(f.view.priceListsShown);
  EXPECT_EQ(f.view.priceList, 0);
}

TEST(CompanyChoice, PriceListsOnlyForTheAdministrationLine) {
  const SourceCompany cases[] = {Vardo("/v/a", 750), Admin("/ftg/e200", 200)};
  for (const auto& company : cases) {
    Fixture f({kNorr});
    f.services.sourceCompanies = {company};
    f.services.priceLists[company.path] = {"P1"};
    f.Controller().OnInitDialog();
    EXPECT_FALSE(f.view.priceListsShown) << company.path;
    EXPECT_TRUE(f.view.priceLists.empty());
  }
}

TEST(CompanyChoice, InvoicingProgramAsksAboutOpenInvoicesOnlyWithoutLink) {
  struct Case {
    bool linked;
    std::optional<PromptAnswer> answer;
    bool transfer;
  };
  const Case cases[] = {{true, std::nullopt, false}, {false, PromptAnswer::Yes, true}, {false, PromptAnswer::No, false}};
  for (const auto& c : cases) {
    Fixture f({kNorr});
    f.services.sourceCompanies = {Admin("/ftg/fkt", 400)};
    if (c.linked) f.services.linked["/ftg/fkt"] = true;
    if (c.answer) f.prompter.Script(*c.answer);
    auto& controller = f.Controller();
    controller.OnInitDialog();
    controller.OnNext();
    EXPECT_EQ(f.view.result, dialog_result::kNext);
    EXPECT_EQ(f.job.TransferOpenCustomerInvoices(), c.transfer);
    EXPECT_EQ(f.prompter.shown.size(), c.answer ? 1u : 0u);
    EXPECT_EQ(f.services.tokenFetches, 1);
    EXPECT_EQ(f.view.busySpells, 1);  // the token is fetched under the wait cursor
    EXPECT_EQ(f.view.busy, 0);
    if (c.answer) {
      EXPECT_EQ(f.prompter.shown[0].buttons, platform::PromptButtons::YesNo);
      EXPECT_EQ(f.prompter.shown[0].text,
                "Du kan föra över dina obetalda kundfakturor till Tessal Molnix som reskontraposter.\n"
                "Du får då över fakturanummer och de uppgifter som behövs för att kunna hantera kundinbetalningar i "
                "Tessal Molnix.\nArtikelrader förs inte över.\n\nVill du överföra obetalda fakturor?");
    }
  }
}

TEST(CompanyChoice, OldDatabaseVersionIsRefusedAndTheDialogStays) {
  struct Case {
    SourceCompany company;
    std::string message;
  };
  SourceCompany oldVardo = Vardo("/v/a", 500);
  oldVardo.versionSupported = false;
  const Case cases[] = {
      {Admin("/ftg/old", 1000, 4.99),
       "Företaget du försöker hämta uppgifter från är från en för gammal version av Tessal Administration. "
       "Kontakta Tessal Kolm support för att få hjälp."},
      {Admin("/ftg/old", 800, 4.0),
       "Företaget du försöker hämta uppgifter från är från en för gammal version av Tessal Vadorado. "
       "Kontakta Tessal Kolm support för att få hjälp."},
      {oldVardo, "The company database version is not supported."},
  };
  for (const auto& c : cases) {
    Fixture f({kNorr});
    f.services.sourceCompanies = {c.company};
    auto& controller = f.Controller();
    controller.OnInitDialog();
    controller.OnNext();
    EXPECT_EQ(f.view.result, 0);
    ASSERT_EQ(f.prompter.shown.size(), 1u);
    EXPECT_EQ(f.prompter.shown[0], (platform::Prompt{c.message, "Tessal Molnix Converter", platform::PromptIcon::Error,
                                                     platform::PromptButtons::Ok}));
  }
}

TEST(CompanyChoice, HelpPageFollowsTheChosenSource) {
  struct Case {
    std::string base;
    std::vector<SourceCompany> sources;
    std::string page;
  };
  const std::string generic = "/tessal-molnix/se/default.htm#getting-started/a-convert-from-another-program.htm";
  const Case cases[] = {
      {"https://help.example//", {Admin("/a", 500), Admin("/b", 1000)}, "https://help.example" + generic},
      {"", {Admin("/a", 500)},
       "https://support.tessal.se/tessal-support/tessal-molnix/se/default.htm#getting-started/"
       "a-convert-from-another-program.htm"},
      {"https://help.example", {Admin("/a", 500)}, "https://help.example" + GetHelpPagePath(500)},
      {"https://help.example", {Vardo("/v", 750)}, "https://help.example" + GetVardoHelpPagePath(750)},
  };
  for (const auto& c : cases) {
    Fixture f({kNorr});
    f.services.helpBase = c.base;
    f.services.sourceCompanies = c.sources;
    auto& controller = f.Controller();
    controller.OnInitDialog();
    controller.OnHelp();
    EXPECT_EQ(f.opener.opened, std::vector<std::string>{c.page});
  }
}

TEST(CompanyChoice, EarlierChoicesAreSelectedAgain) {
  Fixture f({kNorr, kSyd});
  f.services.sourceCompanies = {Admin("/ftg/a", 1000), Admin("/ftg/b", 1000)};
  f.services.priceLists["/ftg/b"] = {"P1", "P2"};
  f.job.SetCloudCompany(kSyd);
  f.job.SetSourceCompany(Admin("/ftg/b", 1000));
  f.job.SetPriceListCode("P2");
  f.Controller().OnInitDialog();
  EXPECT_EQ(f.view.target, 2);
  EXPECT_EQ(f.view.source, 2);
  EXPECT_EQ(f.view.path, "/ftg/b");
  EXPECT_EQ(f.view.priceList, 1);
}

TEST(CompanyChoice, CompanyOfAnEarlierLoginMissingFromTheListIsForgotten) {
  Fixture f({kNorr, kSyd});
  f.job.SetCloudCompany({"111111-1111", "Gammal AB", "c-old", "SE", 1, 9});
  f.Controller().OnInitDialog();
  EXPECT_EQ(f.view.target, 0);
  EXPECT_EQ(f.job.GetCloudCompany().id, "");
  EXPECT_FALSE(f.view.nextEnabled);
}

TEST(CompanyChoice, ACloudCompanyWithoutIdIsNotTakenForNoChoice) {
  CloudCompany noId = kSyd;
  noId.id = "";
  Fixture f({kNorr, noId});
  f.services.sourceCompanies = {Admin("/ftg/a", 1000), Admin("/ftg/b", 1000)};
  f.Controller().OnInitDialog();
  EXPECT_EQ(f.view.target, 0);
  EXPECT_TRUE(f.view.sources.empty());
  EXPECT_FALSE(f.view.nextEnabled);
}

TEST(CompanyChoice, PriceListCodeIsClearedForASourceWithoutPriceLists) {
  Fixture f({kNorr});
  f.services.sourceCompanies = {Admin("/ftg/a", 200)};
  f.job.SetPriceListCode("P1");
  auto& controller = f.Controller();
  controller.OnInitDialog();
  controller.OnNext();
  EXPECT_EQ(f.view.result, dialog_result::kNext);
  EXPECT_EQ(f.job.PriceListCode(), "");
}

TEST(CompanyChoice, LogoutEndsWithItsCode) {
  Fixture f({kNorr});
  auto& controller = f.Controller();
  controller.OnInitDialog();
  controller.OnLogout();
  EXPECT_EQ(f.view.result, dialog_result::kLogout);
}

}  // namespace
