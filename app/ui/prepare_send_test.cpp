#include "app/ui/prepare_send.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "app/engine_test_support.h"
#include "app/import_job.h"
#include "app/desktop/desktop_services.h"
#include "app/reader_interfaces/fake/fake_reader_factory.h"
#include "app/ui/dialog_results.h"
#include "app/ui/wait_cursor.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/recording_url_opener.h"
#include "platform/fake/scoped_environment.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/folders.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

namespace fs = std::filesystem;
using platform::Prompt;
using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;
using ::testing::ElementsAre;

constexpr const char* kCaption = "Tessal Molnix Converter";
constexpr const char* kCloudCompany = "c-1001";
constexpr const char* kServiceUrl = "https://app.molnix.example/";

struct Buttons {
  bool send = true, restart = true, cancel = true;
  friend bool operator==(const Buttons&, const Buttons&) = default;
};
constexpr Buttons kAllDisabled{false, false, false};
constexpr Buttons kAllEnabled{true, true, true};

class RecordingView final : public PrepareSendView {
 public:
  void SetTexts(const std::string& c, const std::string& h) override {
    caption = c;
    heading = h;
  }
  void ShowReport(const std::string& text) override { shown.push_back(text); }
  void RunWhileWaiting(const std::function<void()>& work, const std::function<void(int)>&) override { work(); }
  void EnableButtons(bool send, bool restart, bool cancel) override { buttons = {send, restart, cancel}; }
  void PostPrepare() override { ++posts; }
  void EndDialog(int result) override { ended = result; }

  std::string Report() const { return shown.empty() ? std::string() : shown.back(); }

  std::string caption, heading;
  std::vector<std::string> shown;  // every text the report box held, in order
  Buttons buttons;
  int posts = 0;
  std::optional<int> ended;
};

class CountingBusy final : public BusyIndicator {
 public:
  void BeginBusy() override { ++depth, ++begun; }
  void EndBusy() override { --depth; }
  int depth = 0;
  int begun = 0;
};

// Answers from a script and, on each question, first runs `onQuestion`.
class HookedPrompter final : public platform::Prompter {
 public:
  PromptAnswer Ask(const Prompt& prompt) override {
    if (prompt.buttons == PromptButtons::YesNo && onQuestion) onQuestion();
    return script.Ask(prompt);
  }
  platform::fake::ScriptedPrompter script;
  std::function<void()> onQuestion;
};

// A job over fake readers, and the dialog's controller over recording fakes.
struct Dialog {
  Dialog() {
    job.SetSourceCompany({kSourceAdmin, 1, 1000, 7.0, true, "/ftg/åsa", "556677-8899", "Åsa Öberg AB (lokal)"});
    job.SetCloudCompany(CloudCompany{.registrationNumber = "556677-8899", .name = "Åsa Öberg AB", .id = kCloudCompany});
  }
  // Shown once, prepared, as the dialog does it.
  void Open() {
    controller.OnInitDialog();
    controller.OnShown();
    controller.OnPrepare();
  }
  const std::vector<Prompt>& Shown() const { return prompter.script.shown; }

  std::unique_ptr<fake::FakeReaderFactory> factory = std::make_unique<fake::FakeReaderFactory>();
  fake::FakeReaderFactory& fakes = *factory;
  int readerSets = 0;
  std::function<void()> beforeReaders;  // may throw, as a factory that cannot start does
  platform::fake::TempTree userData;
  fs::path uncertainImports = userData / "uncertain-imports.json";
  CMlxImportJob job{kSourceAdmin, nullptr,
                    [this](const SourceCompany&) {
                      ++readerSets;
                      if (beforeReaders) beforeReaders();
                      return std::unique_ptr<ReaderFactory>(std::move(factory));
                    },
                    uncertainImports};
  RecordingView view;
  HookedPrompter prompter;
  platform::fake::RecordingUrlOpener opener;
  CountingBusy busy;
  PrepareSendController controller{job, view, prompter, opener, busy};
};

TEST(PrepareStep, ReportsEveryKindThatTakesPartInReportOrder) {
  Dialog d;
  d.fakes.company->warnings = {{"", "", "Info", "Varning:", "Företagets bankgiro saknas."}};
  d.fakes.deliveryTerms->records = {{.code = "FVL", .name = "Fritt vårt lager"}, {.code = "X", .name = ""}};
  // The delivery methods take part with no records at all.
  for (int i = 0; i < 20001; ++i) d.fakes.customers->records.push_back(engine_test::Customer(std::to_string(i)));
  d.fakes.suppliers->available = false;
  d.fakes.articles->records = {engine_test::Article("A1")};
  d.fakes.articles->warnings = {
      {"", "", "Misc", "Varning:", "Det finns ingen prislista i SEK så inga priser kommer att överföras."}};
  d.job.SetTransferOpenCustomerInvoices(false);
  d.fakes.customerLedgerItems->records = {{.invoiceNumber = 1}};
  d.fakes.supplierLedgerItems->available = false;
  d.fakes.sie->filePath = "/tmp/SIE.SE";
  d.fakes.sie->sieRows = {{"", "SIE", "AccountType", "Fel:", "Konto 1930 saknar kontotyp."},
                          {"", "SIE", "Info", "    ", "SIE-fil för 2026 skapad."}};

  d.controller.OnInitDialog();
  EXPECT_EQ(d.view.caption, kCaption);
  EXPECT_EQ(d.view.heading,
            "Förbereder för att kunna överföra data till Tessal Molnix.\nFöretag att hämta från: Åsa Öberg AB "
            "(lokal)\nFöretag att överföra till: Åsa Öberg AB");
  EXPECT_EQ(d.view.buttons, kAllDisabled);
  d.controller.OnShown();
  d.controller.OnShown();
  EXPECT_EQ(d.view.posts, 1);
  EXPECT_EQ(d.readerSets, 0);  // the work waits for the posted command
  d.controller.OnPrepare();
  d.controller.OnPrepare();
  EXPECT_EQ(d.readerSets, 1);

  EXPECT_EQ(d.view.Report(),
            "Företagsuppgifter:\r\n"
            "Varning:\tFöretagets bankgiro saknas.\r\n"
            "Leveransvillkor:\r\n"
            "Fel:\tLeveransvillkor X kan inte överföras. Namn saknas.\r\n"
            "1 leveransvillkor klara för överföring.\r\n"
            "1 leveransvillkor kommer inte att överföras.\r\n"
            "\r\n"
            "Leveranssätt:\r\n"
            "0 leveranssätt klara för överföring.\r\n"
            "\r\n"
            "Kundregister:\r\n"
            "Kundregistret innehåller för många kunder för att kunna hanteras i Molnix.\r\n"
            "Kundregistret får max innehålla 20 000 kunder.\r\n"
            "\r\n"
            "Artikelregister:\r\n"
            "Varning:\tDet finns ingen prislista i SEK så inga priser kommer att överföras.\r\n"
            "1 artiklar klara för överföring.\r\n"
            "\r\n"
            "SIE-fil:\r\n"
            "Fel:\tKonto 1930 saknar kontotyp.\r\n"
            "    \tSIE-fil för 2026 skapad.\r\n"
            "\r\n"
            "Förberedelserna slutförda.\r\n"
            "\r\n"
            "1 leveransvillkor kommer att överföras.\r\n"
            "1 artiklar kommer att överföras.\r\n");
  // The walks' progress went to the report box before the report replaced it.
  const auto& shown = d.view.shown;
  const auto at = [&](const std::string& text) { return std::find(shown.begin(), shown.end(), text) - shown.begin(); };
  EXPECT_LT(at("1 artiklar kontrollerade."), at("250 kunder kontrollerade."));
  EXPECT_LT(at("250 kunder kontrollerade."), at("20001 kunder kontrollerade."));
  EXPECT_LT(at("20001 kunder kontrollerade."), static_cast<long>(shown.size()) - 1);

  EXPECT_EQ(d.view.buttons, kAllEnabled);
  EXPECT_EQ(d.busy.begun, 1);
  EXPECT_EQ(d.busy.depth, 0);
  EXPECT_TRUE(d.Shown().empty());
}

// A walk gives its progress text again for each record it does not count (as a
// Vardo customer walk does over the suppliers); the box is painted only when its
// text changes.
TEST(PrepareStep, PaintsTheReportBoxOnlyWhenItsTextChanges) {
  Dialog d;
  for (int i = 0; i < 1000; ++i) d.fakes.customers->records.push_back(engine_test::Customer(std::to_string(i)));
  for (std::size_t i = 250; i < 750; ++i) d.fakes.customers->DoNotCount(i);
  d.Open();

  const auto& shown = d.view.shown;
  const auto repeated = std::adjacent_find(shown.begin(), shown.end());
  EXPECT_TRUE(repeated == shown.end()) << "painted again: " << *repeated;
  const auto paints = [&](const std::string& text) { return std::count(shown.begin(), shown.end(), text); };
  EXPECT_EQ(paints("250 kunder kontrollerade."), 1);
  EXPECT_EQ(paints("500 kunder kontrollerade."), 1);  // also the walk's closing text
  const auto at = [&](const std::string& text) { return std::find(shown.begin(), shown.end(), text) - shown.begin(); };
  EXPECT_LT(at("250 kunder kontrollerade."), at("500 kunder kontrollerade."));
  EXPECT_LT(at("500 kunder kontrollerade."), static_cast<long>(shown.size()) - 1);
  EXPECT_THAT(d.view.Report(), ::testing::HasSubstr("1000 kunder klara för överföring."));
}

TEST(PrepareStep, ASieKindWithoutAFileIsNotReady) {
  Dialog d;
  d.fakes.sie->sieRows = {{"", "SIE", "Info", "    ", "Inget bokföringsår hittades."}};  // and no file
  d.fakes.company->available = false;
  d.fakes.articles->available = false;
  d.fakes.customers->available = false;
  d.fakes.suppliers->available = false;
  d.fakes.deliveryTerms->available = false;
  d.fakes.deliveryMethods->available = false;
  d.fakes.customerLedgerItems->available = false;
  d.fakes.supplierLedgerItems->available = false;
  d.Open();
  EXPECT_EQ(d.view.Report(),
            "SIE-fil:\r\n"
            "    \tInget bokföringsår hittades.\r\n"
            "SIE-fil har inte kunnat skapas och kan därför inte överföras.\r\n"
            "\r\n"
            "Förberedelserna slutförda.\r\n"
            "\r\n");
}

TEST(PrepareStep, AFailureIsReportedAndLeavesOnlyTheWaysBackAndOut) {
  const struct {
    const char* name;
    std::function<void(Dialog&)> arrange;
    const char* what;
  } cases[] = {
      {"the readers cannot be built",
       [](Dialog& d) { d.beforeReaders = [] { throw std::runtime_error("Företagets mapp kunde inte läsas."); }; },
       "Företagets mapp kunde inte läsas."},
      {"a check throws", [](Dialog& d) { d.fakes.sie->failure = "SIE-exporten kraschade."; },
       "SIE-exporten kraschade."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog d;
    c.arrange(d);
    d.Open();
    EXPECT_EQ(d.view.Report(), BuildPrepareFailure(c.what));
    EXPECT_EQ(d.view.buttons, (Buttons{false, true, true}));
    EXPECT_EQ(d.busy.depth, 0);
    for (int k = 0; k < kImportKindCount; ++k) EXPECT_EQ(d.job.Import(static_cast<ImportKind>(k)), nullptr);

    d.controller.OnSend();  // even were the button reached, nothing is sent
    EXPECT_TRUE(d.Shown().empty());
    d.controller.OnRestart();
    EXPECT_EQ(d.view.ended, dialog_result::kRestart);
  }
}

TEST(PrepareStep, TheButtonsEndTheDialogWithTheirCodesOnceReady) {
  Dialog d;
  d.controller.OnInitDialog();
  d.controller.OnCancel();  // Esc before the preparation: "Avbryt" is still disabled
  d.controller.OnRestart();
  EXPECT_FALSE(d.view.ended);
  d.controller.OnShown();
  d.controller.OnPrepare();
  d.controller.OnCancel();
  EXPECT_EQ(d.view.ended, dialog_result::kCancel);
  d.controller.OnRestart();
  EXPECT_EQ(d.view.ended, dialog_result::kRestart);
}

// The send step against the cloud stand-in, logged in as the wizard leaves it.
class SendStep : public ::testing::Test {
 protected:
  static nlohmann::json Fixture() {
    nlohmann::json fixture = cloud_standin::ExampleFixture();
    fixture["services"] = {{"BaseUrl.Molnix", kServiceUrl}, {"BaseUrl.HelpKolm", "https://hjalp.example/"}};
    return fixture;
  }

  void SetUp() override {
    klcr::detail::ForgetRunState();
    work_ = *platform::MakeUniqueFolder(platform::TempFolder(), "prepare-send-");
    KLCRMiscFunc::SetIniPath(work_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    klcr::detail::SetStateQueryPauses(std::vector<std::chrono::milliseconds>(4, std::chrono::milliseconds(10)));

    ArrangeSmallCompany(d_);
    d_.job.SetPassword("hemligt");
    ASSERT_TRUE(d_.job.SetCredentials());
    ASSERT_EQ(d_.job.FetchApiToken(), 0);
  }

  // Company settings, two articles, one customer and one delivery term; the other
  // kinds take no part. The user is logged in.
  static void ArrangeSmallCompany(Dialog& d) {
    ArrangeSmallCompany(d.fakes);
    d.job.SetEmail("anna@example.se");
  }
  static void ArrangeSmallCompany(fake::FakeReaderFactory& fakes) {
    fakes.company->values.name = "Åsa Öberg AB";
    fakes.articles->records = {engine_test::Article("A1"), engine_test::Article("A2")};
    fakes.customers->records = {engine_test::Customer("K1")};
    fakes.suppliers->available = false;
    fakes.deliveryTerms->records = {{.code = "FVL", .name = "Fritt vårt lager"}};
    fakes.deliveryMethods->available = false;
    fakes.customerLedgerItems->available = false;
    fakes.supplierLedgerItems->available = false;
    fakes.sie->available = false;
  }
  void TearDown() override { fs::remove_all(work_); }

  // Prepares, then notes how many requests the stand-in has seen so far.
  void Open() {
    d_.Open();
    ASSERT_EQ(d_.view.buttons, kAllEnabled);
    requestsBefore_ = cloud_.State()["requests"].size();
  }
  nlohmann::json Company() const { return cloud_.State()["companies"][kCloudCompany]; }
  // The routes of the requests made since Open, without the service directory's
  // (its answers are kept for the whole run, so whether it is asked depends on earlier tests).
  std::vector<std::string> Routes() const {
    std::vector<std::string> routes;
    const auto requests = cloud_.State()["requests"];
    for (std::size_t i = requestsBefore_; i < requests.size(); ++i) {
      if (requests[i]["route"] != "services") routes.push_back(requests[i]["route"]);
    }
    return routes;
  }

  cloud_standin::StandinProcess cloud_{Fixture()};
  fs::path work_;
  Dialog d_;
  std::size_t requestsBefore_ = 0;
};

constexpr const char* kError500 = "Ett fel uppstod hos Tessal Molnix. Försök igen senare.";
constexpr const char* kCompletionUnknown =
    "Det gick inte att få veta om överföringen avslutades, eftersom svaret från Tessal Molnix uteblev.\n\n"
    "Överföringen kan ändå ha avslutats och redan finnas i Tessal Molnix. Kontrollera det i Tessal Molnix innan "
    "du försöker igen.";

TEST_F(SendStep, ATokenFailureStopsBeforeAnythingIsSentAndASecondSendStartsAfresh) {
  Open();
  cloud_.SetFault("token", 503, 0, 1);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{"Inloggningen misslyckades.\nFelkod: 503\nFeltext: Tessal Molnix är inte "
                                             "tillgängligt just nu. Försök igen senare.",
                                             kCaption, PromptIcon::Error, PromptButtons::Ok}));
  EXPECT_THAT(Routes(), ElementsAre("token"));
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
  EXPECT_FALSE(d_.view.ended);

  d_.controller.OnSend();
  EXPECT_THAT(Routes(), ElementsAre("token", "token", "discard", "upload.companySettings", "upload.articles",
                                    "upload.customers", "upload.deliveryTerms", "complete"));
  EXPECT_EQ(d_.view.ended, dialog_result::kCancel);
}

TEST_F(SendStep, NoToTheWarningsSendsNothingAndNoButtonWorksMeanwhile) {
  d_.fakes.articles->records.push_back(engine_test::Article("A3", ""));  // refused: no account code
  Open();
  d_.prompter.script.Script(PromptAnswer::No);
  d_.prompter.onQuestion = [&] {
    EXPECT_EQ(d_.view.buttons, kAllDisabled);
    d_.controller.OnSend();  // a second click, a restart or Esc while the first send runs
    d_.controller.OnRestart();
    d_.controller.OnCancel();
  };
  d_.controller.OnSend();

  EXPECT_THAT(d_.Shown(),
              ElementsAre(Prompt{"Det finns artiklar som saknar benämning eller konteringskod och därför inte kan "
                                 "överföras.\n\nVill du fortsätta att överföra övrig information?",
                                 kCaption, PromptIcon::Warning, PromptButtons::YesNo}));
  EXPECT_THAT(Routes(), ElementsAre("token"));
  EXPECT_FALSE(d_.view.ended);
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
  EXPECT_EQ(d_.busy.depth, 0);
}

TEST_F(SendStep, WhenEveryUploadFailsNothingIsCompleted) {
  Open();
  for (const char* kind : {"companySettings", "articles", "customers", "deliveryTerms"}) {
    cloud_.SetFault(std::string("upload.") + kind, 500);
  }
  d_.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 1u);
  EXPECT_EQ(d_.Shown()[0], (Prompt{std::string("Inga överföringar har gjorts.\n") +
                                       "Överföringen av företagsinställningar misslyckades. Felkod: 500\n"
                                       "Felmeddelande: " + kError500 + "\n"
                                       "Överföringen av leveransvillkor misslyckades. Felkod: 500\n"
                                       "Felmeddelande: " + kError500 + "\n"
                                       "Överföringen av kunder misslyckades. Felkod: 500\n"
                                       "Felmeddelande: " + kError500 + "\n"
                                       "Överföringen av artiklar misslyckades. Felkod: 500\n"
                                       "Felmeddelande: " + kError500 + "\n",
                                   kCaption, PromptIcon::Error, PromptButtons::Ok}));
  EXPECT_THAT(Routes(), ElementsAre("token", "discard", "upload.companySettings", "upload.articles",
                                    "upload.customers", "upload.deliveryTerms"));
  EXPECT_FALSE(d_.view.ended);
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
}

// The question after a send of the small company whose articles alone failed.
Prompt ArticlesFailedQuestion(int code, const std::string& errorText) {
  return {"Överföringen lyckades delvis.\n\n"
          "Överföringen av företagsinställningar lyckades\n"
          "Överföringen av leveransvillkor lyckades\n"
          "Överföringen av kunder lyckades\n"
          "Överföringen av artiklar misslyckades. Felkod: " + std::to_string(code) + "\n"
          "Felmeddelande: " + errorText + "\n"
          "\nVill du fortsätta och spara de överförda uppgifterna i Tessal Molnix?",
          kCaption, PromptIcon::Question, PromptButtons::YesNo};
}

TEST_F(SendStep, APartialTransferTheUserDoesNotKeepIsDiscarded) {
  Open();
  cloud_.SetFault("upload.articles", 500);
  d_.prompter.script.Script(PromptAnswer::No);
  d_.controller.OnSend();

  EXPECT_THAT(d_.Shown(), ElementsAre(ArticlesFailedQuestion(500, kError500)));
  const auto company = Company();
  EXPECT_EQ(company["discarded"], 1);
  EXPECT_TRUE(company["pending"].is_null());
  EXPECT_TRUE(company["completed"].empty());
  EXPECT_FALSE(d_.view.ended);
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
}

TEST_F(SendStep, ARegisterAboveItsMaximumIsReportedAsNotSent) {
  d_.fakes.customers->records.clear();
  for (int i = 0; i < 20001; ++i) d_.fakes.customers->records.push_back(engine_test::Customer(std::to_string(i)));
  Open();
  d_.prompter.script.Script(PromptAnswer::Yes);  // the warning that the register is too large
  d_.prompter.script.Script(PromptAnswer::Yes);  // keep what was sent
  d_.controller.OnSend();

  ASSERT_EQ(d_.Shown().size(), 3u);
  EXPECT_EQ(d_.Shown()[1].text, "Överföringen lyckades delvis.\n\n"
                                "Överföringen av företagsinställningar lyckades\n"
                                "Överföringen av leveransvillkor lyckades\n"
                                "Överföringen av kunder misslyckades. Kundregistret får max innehålla 20 000 kunder.\n"
                                "Överföringen av artiklar lyckades\n"
                                "\nVill du fortsätta och spara de överförda uppgifterna i Tessal Molnix?");
  const auto completed = Company()["completed"];
  ASSERT_EQ(completed.size(), 1u);
  EXPECT_FALSE(completed[0].contains("customers"));
  EXPECT_EQ(completed[0]["articles"].size(), 2u);
  EXPECT_EQ(d_.view.ended, dialog_result::kCancel);
}

TEST_F(SendStep, SettingsThatCouldNotBeReadWholeAreNamedInTheWarningAndNotSent) {
  d_.fakes.company->warnings = {{"", "", "Error", "Fel:", "Tabellen PRM kan inte läsas: database is locked"}};
  Open();
  EXPECT_NE(d_.view.Report().find("Företagsuppgifter:\r\nFel:\tTabellen PRM kan inte läsas: database is locked\r\n"),
            std::string::npos);
  EXPECT_EQ(d_.view.Report().find("Företagsuppgifter kommer att överföras."), std::string::npos);
  d_.prompter.script.Script(PromptAnswer::Yes);  // the warning
  d_.prompter.script.Script(PromptAnswer::Yes);  // keep what was sent
  d_.controller.OnSend();

  ASSERT_EQ(d_.Shown().size(), 3u);
  EXPECT_EQ(d_.Shown()[0].text,
            "Företagsuppgifter: Tabellen PRM kan inte läsas: database is locked\n\n"
            "Vill du fortsätta att överföra övrig information?");
  EXPECT_EQ(d_.Shown()[1].text,
            "Överföringen lyckades delvis.\n\n"
            "Överföringen av företagsinställningar misslyckades. Tabellen PRM kan inte läsas: database is locked\n"
            "Överföringen av leveransvillkor lyckades\n"
            "Överföringen av kunder lyckades\n"
            "Överföringen av artiklar lyckades\n"
            "\nVill du fortsätta och spara de överförda uppgifterna i Tessal Molnix?");
  EXPECT_THAT(Routes(), ElementsAre("token", "discard", "upload.articles", "upload.customers",
                                    "upload.deliveryTerms", "complete"));
  EXPECT_FALSE(Company()["completed"][0].contains("companySettings"));
}

TEST_F(SendStep, ARefusedCompletionKeepsTheDialogAndDiscardsNothing) {
  Open();
  cloud_.SetFault("complete", 500);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{std::string("Avsluta överföringen misslyckades.\nFelkod: 500\nFeltext: ") +
                                                 kError500,
                                             kCaption, PromptIcon::Error, PromptButtons::Ok}));
  const auto company = Company();
  EXPECT_EQ(company["discarded"], 0);
  EXPECT_EQ(company["pending"]["articles"].size(), 2u);
  EXPECT_TRUE(d_.opener.opened.empty());
  EXPECT_FALSE(d_.view.ended);
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
}

TEST_F(SendStep, ACompletedTransferOpensTheServiceAndEndsTheDialog) {
  Open();
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{send_text::kCompleted, kCaption, PromptIcon::Information,
                                             PromptButtons::Ok}));
  const auto completed = Company()["completed"];
  ASSERT_EQ(completed.size(), 1u);
  EXPECT_EQ(completed[0]["companySettings"][0]["name"], "Åsa Öberg AB");
  EXPECT_EQ(completed[0]["customers"].size(), 1u);
  EXPECT_EQ(completed[0]["deliveryTerms"].size(), 1u);
  EXPECT_THAT(d_.opener.opened, ElementsAre(kServiceUrl));
  EXPECT_EQ(d_.view.ended, dialog_result::kCancel);
  EXPECT_EQ(d_.view.buttons, kAllDisabled);  // nothing more to press
  EXPECT_EQ(d_.busy.depth, 0);
}

// What the report says will go is what goes, and the warnings and result lines
// say why the rest did not. The articles' upload fails in every case, so the
// result lines of every attempted kind are shown.
TEST_F(SendStep, TheReportWarningsAndResultsTellWhatIsSent) {
  const std::string sieFile = (work_ / "SIE.SE").string();
  std::ofstream(sieFile, std::ios::binary) << "#FLAGGA 0\r\n#SIETYP 4\r\n";
  const std::string commonHead =
      "Företagsuppgifter:\r\nFöretagsuppgifter klara för överföring.\r\n\r\n"
      "Leveransvillkor:\r\n1 leveransvillkor klara för överföring.\r\n\r\n";
  const std::string customers = "Kundregister:\r\n1 kunder klara för överföring.\r\n\r\n";
  const std::string articles = "Artikelregister:\r\n2 artiklar klara för överföring.\r\n\r\n";
  const std::string closing = "\r\nFörberedelserna slutförda.\r\n\r\n"
                              "Företagsuppgifter kommer att överföras.\r\n"
                              "1 leveransvillkor kommer att överföras.\r\n";
  const std::string articlesFailed = std::string("Överföringen av artiklar misslyckades. Felkod: 500\n") +
                                     "Felmeddelande: " + kError500 + "\n";
  const std::string headResults = "Överföringen av företagsinställningar lyckades\n"
                                  "Överföringen av leveransvillkor lyckades\n";
  const auto partial = [](const std::string& results) {
    return "Överföringen lyckades delvis.\n\n" + results +
           "\nVill du fortsätta och spara de överförda uppgifterna i Tessal Molnix?";
  };
  const auto sieRow = [](const char* kind, const char* caption, const char* text) {
    return ReportRow{"", "SIE", kind, caption, text};
  };
  const struct {
    const char* name;
    std::function<void(Dialog&)> arrange;
    std::string report;
    std::vector<std::string> prompts;  // the warning, when one is due, then the partial question
    bool sieSent;
  } cases[] = {
      {"a reader that cannot be built",
       [](Dialog& d) { d.fakes.failing = {kImportCustomers}; },
       commonHead + "Kundregister:\r\nFel:\tUppgifterna kunde inte läsas: the reader cannot be built\r\n\r\n" +
           articles + closing + "2 artiklar kommer att överföras.\r\n",
       {std::string("Kundregister: Uppgifterna kunde inte läsas: the reader cannot be built\n\n") +
            send_text::kQuestionContinue,
        partial(headResults +
                "Överföringen av kunder misslyckades. Uppgifterna kunde inte läsas: the reader cannot be built\n" +
                articlesFailed)},
       false},
      {"SIE with the current year's file only",
       [&](Dialog& d) {
         d.fakes.sie->available = true;
         d.fakes.sie->filePath = sieFile;
         d.fakes.sie->sieRows = {sieRow("Warning", "Varning:", "SIE-filen SIEPREV.SE kunde inte skapas.")};
       },
       commonHead + customers + articles +
           "SIE-fil:\r\nVarning:\tSIE-filen SIEPREV.SE kunde inte skapas.\r\nSIE-fil klar för överföring.\r\n" +
           closing + "1 kunder kommer att överföras.\r\n2 artiklar kommer att överföras.\r\n" +
           "SIE-fil kommer att överföras.\r\n",
       {partial(headResults + "Överföringen av kunder lyckades\n" + articlesFailed +
                "Överföringen av sie lyckades\n")},
       true},
      {"SIE without the current year's file",
       [&](Dialog& d) {
         d.fakes.sie->available = true;
         d.fakes.sie->sieRows = {sieRow("Error", "Fel:", "SIE-filen SIE.SE kunde inte skapas.")};
       },
       commonHead + customers + articles + "SIE-fil:\r\nFel:\tSIE-filen SIE.SE kunde inte skapas.\r\n" + closing +
           "1 kunder kommer att överföras.\r\n2 artiklar kommer att överföras.\r\n",
       {std::string("SIE-fil har inte kunnat skapas och kan därför inte överföras.\n\n") +
            send_text::kQuestionContinue,
        partial(headResults + "Överföringen av kunder lyckades\n" + articlesFailed)},
       false},
      {"SIE with an error row beside a file the reader kept",
       [&](Dialog& d) {
         d.fakes.sie->available = true;
         d.fakes.sie->filePath = sieFile;
         d.fakes.sie->sieRows = {sieRow("Error", "Fel:", "SIE-filen SIEPREV.SE kunde inte skapas.")};
       },
       commonHead + customers + articles + "SIE-fil:\r\nFel:\tSIE-filen SIEPREV.SE kunde inte skapas.\r\n" +
           closing + "1 kunder kommer att överföras.\r\n2 artiklar kommer att överföras.\r\n",
       {std::string("SIE-fil har inte kunnat skapas och kan därför inte överföras.\n\n") +
            send_text::kQuestionContinue,
        partial(headResults + "Överföringen av kunder lyckades\n" + articlesFailed)},
       false},
      {"a \"Misc\" row alone",
       [](Dialog& d) {
         d.fakes.articles->warnings = {
             {"", "", "Misc", "Varning:", "Det finns ingen prislista i SEK så inga priser kommer att överföras."}};
       },
       commonHead + customers +
           "Artikelregister:\r\nVarning:\tDet finns ingen prislista i SEK så inga priser kommer att överföras.\r\n"
           "2 artiklar klara för överföring.\r\n\r\n" +
           closing + "1 kunder kommer att överföras.\r\n2 artiklar kommer att överföras.\r\n",
       {partial(headResults + "Överföringen av kunder lyckades\n" + articlesFailed)},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Dialog d;
    ArrangeSmallCompany(d);
    ASSERT_EQ(d.job.FetchApiToken(), 0);
    c.arrange(d);
    d.Open();
    EXPECT_EQ(d.view.Report(), c.report);

    cloud_.SetFault("upload.articles", 500);
    const std::size_t before = cloud_.State()["requests"].size();
    for (std::size_t i = 0; i < c.prompts.size(); ++i) {
      d.prompter.script.Script(i + 1 < c.prompts.size() ? PromptAnswer::Yes : PromptAnswer::No);
    }
    d.controller.OnSend();
    std::vector<std::string> shown;
    for (const Prompt& prompt : d.Shown()) shown.push_back(prompt.text);
    EXPECT_EQ(shown, c.prompts);

    bool sieSent = false;
    const auto requests = cloud_.State()["requests"];
    for (std::size_t i = before; i < requests.size(); ++i) sieSent |= requests[i]["route"] == "upload.sie";
    EXPECT_EQ(sieSent, c.sieSent);
  }
}

constexpr const char* kError1003 = "Svaret från Tessal Molnix kunde inte tolkas.";

// An earlier attempt's records would be completed with this run's: when they
// cannot be dropped, nothing is sent and the user is told.
TEST_F(SendStep, AnEarlierTransferThatCannotBeDiscardedStopsTheSend) {
  Open();
  KLCR_MolnixMigration::CUploadArticles earlier;  // what an earlier attempt left pending
  earlier.SetNumber("GAMMAL");
  earlier.SetName("Från förra försöket");
  earlier.SetArticleAccountCode("3001");
  ASSERT_EQ(earlier.AddArticle(), 0);
  earlier.SetApiToken(d_.job.ApiToken());
  ASSERT_EQ(earlier.Call(), 0);
  requestsBefore_ = cloud_.State()["requests"].size();

  cloud_.SetRawAnswer("discard", "<html>Underhåll</html>", 1);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{std::string("Det gick inte att ta bort en tidigare påbörjad "
                                                         "överföring.\nFelkod: 1003\nFeltext: ") + kError1003,
                                             kCaption, PromptIcon::Error, PromptButtons::Ok}));
  EXPECT_THAT(Routes(), ElementsAre("token", "discard"));
  const auto company = Company();
  EXPECT_EQ(company["pending"]["articles"][0]["number"], "GAMMAL");
  EXPECT_FALSE(company["pending"].contains("customers"));
  EXPECT_TRUE(company["completed"].empty());
  EXPECT_FALSE(d_.view.ended);
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
}

TEST_F(SendStep, APartialTransferThatCannotBeDiscardedIsSaidToBeWaiting) {
  Open();
  cloud_.SetFault("upload.articles", 500);
  d_.prompter.script.Script(PromptAnswer::No);
  d_.prompter.onQuestion = [&] { cloud_.SetFault("discard", 503, 0, 1); };
  d_.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1],
            (Prompt{"De delvis överförda uppgifterna kunde inte tas bort och väntar kvar i Tessal Molnix. De tas bort "
                    "när du skickar på nytt.\nFelkod: 503\nFeltext: Tessal Molnix är inte tillgängligt just nu. "
                    "Försök igen senare.",
                    kCaption, PromptIcon::Error, PromptButtons::Ok}));
  EXPECT_EQ(Company()["pending"]["customers"].size(), 1u);
  EXPECT_FALSE(d_.view.ended);
}

// What the service answers decides: a completion or upload the service did not
// acknowledge is a failure the user reads, and nothing is said to be done.
TEST_F(SendStep, AnswersThatAreNotTheExpectedOnesAreFailures) {
  Open();
  cloud_.SetRawAnswer("upload.customers", R"({"received": 0})", 1);
  cloud_.SetRawAnswer("complete", R"({"completed": false})", 1);
  d_.prompter.script.Script(PromptAnswer::Yes);
  d_.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_NE(d_.Shown()[0].text.find(std::string("Överföringen av kunder misslyckades. Felkod: 1003\nFelmeddelande: ") +
                                    kError1003),
            std::string::npos);
  EXPECT_EQ(d_.Shown()[1], (Prompt{std::string("Avsluta överföringen misslyckades.\nFelkod: 1003\nFeltext: ") +
                                       kError1003,
                                   kCaption, PromptIcon::Error, PromptButtons::Ok}));
  EXPECT_TRUE(Company()["completed"].empty());
  EXPECT_FALSE(d_.view.ended);
}

// The service completed the import but its answer came too late, and it was
// still at work when first asked: the client asks again, and the transfer is done.
TEST_F(SendStep, ACompletionAnsweredLateEndsAsSuccessOnceTheServiceSaysSo) {
  Open();
  KLCRMiscFunc::SetTimeout(1);
  cloud_.SetLateAnswer("complete", 3, 1);
  cloud_.SetRawAnswer("importState", R"({"completed": false})", 2);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{send_text::kCompleted, kCaption, PromptIcon::Information,
                                             PromptButtons::Ok}));
  EXPECT_THAT(Routes(), ElementsAre("token", "discard", "upload.companySettings", "upload.articles",
                                    "upload.customers", "upload.deliveryTerms", "complete", "importState",
                                    "importState", "importState"));
  EXPECT_EQ(Company()["completed"].size(), 1u);
  EXPECT_EQ(d_.view.ended, dialog_result::kCancel);
}

// A completion that the service carries out only after the client has stopped
// asking is neither done nor failed for the user. The next "Skicka" of the same
// preparation completes the same import, so it makes no second one.
TEST_F(SendStep, ASecondSendAfterAnUnknownCompletionMakesNoSecondImport) {
  Open();
  KLCRMiscFunc::SetTimeout(1);
  cloud_.SetFault("complete", 0, 2, 1);  // the service completes only after the client has given up
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{kCompletionUnknown, kCaption, PromptIcon::Warning, PromptButtons::Ok}));
  EXPECT_EQ(d_.view.buttons, kAllEnabled);
  for (int i = 0; i < 50 && Company()["completed"].empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(Company()["completed"].size(), 1u);

  d_.controller.OnSend();  // no question: this preparation's import is the one that may be there
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1].text, send_text::kCompleted);
  EXPECT_EQ(Company()["completed"].size(), 1u);
  EXPECT_EQ(d_.view.ended, dialog_result::kCancel);
}

// "Börja om" after a completion whose outcome stayed unknown: the company choice
// builds a new dialog over the same job, and its preparation new readers and a new import id.
class AfterAnUnknownCompletion : public SendStep {
 protected:
  struct NextDialog {
    explicit NextDialog(Dialog& d) : controller{d.job, view, d.prompter, d.opener, d.busy} {
      d.factory = std::make_unique<fake::FakeReaderFactory>();
      ArrangeSmallCompany(*d.factory);
    }
    RecordingView view;
    PrepareSendController controller;
  };

  // The completion is carried out, its answer dropped, and the state cannot be
  // asked: the user is told that it may be done, and starts over.
  void SendWithTheOutcomeUnknown() {
    Open();
    cloud_.SetDroppedAnswer("complete", 1);
    cloud_.SetFault("importState", 500);
    d_.controller.OnSend();
    ASSERT_THAT(d_.Shown(), ElementsAre(Prompt{kCompletionUnknown, kCaption, PromptIcon::Warning, PromptButtons::Ok}));
    ASSERT_EQ(Company()["completed"].size(), 1u);
    d_.controller.OnRestart();
    ASSERT_EQ(d_.view.ended, dialog_result::kRestart);
    requestsBefore_ = cloud_.State()["requests"].size();
  }
};

TEST_F(AfterAnUnknownCompletion, TheNextPreparationThatFindsItCompletedMakesNothingNew) {
  SendWithTheOutcomeUnknown();
  cloud_.ClearFaults();
  NextDialog next(d_);
  next.controller.OnInitDialog();
  next.controller.OnShown();
  next.controller.OnPrepare();

  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1], (Prompt{std::string("Den tidigare överföringen av företaget har avslutats i Tessal "
                                               "Molnix, så ingen ny överföring görs.\n\n") +
                                       send_text::kCompleted,
                                   kCaption, PromptIcon::Information, PromptButtons::Ok}));
  EXPECT_EQ(d_.readerSets, 1);
  EXPECT_THAT(Routes(), ElementsAre("importState"));
  EXPECT_EQ(Company()["completed"].size(), 1u);
  EXPECT_THAT(d_.opener.opened, ElementsAre(kServiceUrl));
  EXPECT_EQ(next.view.ended, dialog_result::kCancel);
  EXPECT_EQ(d_.busy.depth, 0);
}

TEST_F(AfterAnUnknownCompletion, ASecondImportIsMadeOnlyAfterTheUserSaidYes) {
  SendWithTheOutcomeUnknown();  // and the state still cannot be asked
  NextDialog next(d_);
  next.controller.OnInitDialog();
  next.controller.OnShown();
  next.controller.OnPrepare();
  EXPECT_EQ(d_.readerSets, 2);
  EXPECT_EQ(next.view.buttons, kAllEnabled);
  EXPECT_THAT(Routes(), ElementsAre("importState"));

  // It names the company, and Enter answers "Nej".
  const Prompt question{"En tidigare överföring av företaget Åsa Öberg AB (lokal) kan redan finnas i Tessal "
                        "Molnix: det gick inte att få veta om den avslutades.\n\n"
                        "Kontrollera det i Tessal Molnix innan du fortsätter. Finns den där, kommer uppgifterna att "
                        "finnas två gånger om du överför dem igen.\n\n"
                        "Vill du ändå göra en ny överföring?",
                        kCaption, PromptIcon::Warning, PromptButtons::YesNo, PromptAnswer::No};
  d_.prompter.script.Script(PromptAnswer::No);
  next.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1], question);
  EXPECT_THAT(Routes(), ElementsAre("importState"));  // nothing sent
  EXPECT_EQ(Company()["completed"].size(), 1u);
  EXPECT_FALSE(next.view.ended);
  EXPECT_EQ(next.view.buttons, kAllEnabled);

  cloud_.ClearFaults();
  d_.prompter.script.Script(PromptAnswer::Yes);
  next.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 4u);
  EXPECT_EQ(d_.Shown()[2], question);
  EXPECT_EQ(d_.Shown()[3].text, send_text::kCompleted);
  EXPECT_EQ(Company()["completed"].size(), 2u);
  EXPECT_EQ(next.view.ended, dialog_result::kCancel);
}

// "Börja om" with another source company for the same cloud company: the earlier
// import, of the other company, never answers for this one.
TEST_F(AfterAnUnknownCompletion, AnotherSourceCompanyIsToldTheEarlierImportWasOfTheOther) {
  SendWithTheOutcomeUnknown();  // and the state still cannot be asked
  d_.job.SetSourceCompany({kSourceAdmin, 1, 1000, 7.0, true, "/ftg/bo", "556677-8899", "Bo Berg AB"});
  NextDialog next(d_);
  next.controller.OnInitDialog();
  next.controller.OnShown();
  next.controller.OnPrepare();
  EXPECT_EQ(d_.readerSets, 2);
  EXPECT_EQ(next.view.buttons, kAllEnabled);

  d_.prompter.script.Script(PromptAnswer::No);
  next.controller.OnSend();
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1],
            (Prompt{"En tidigare överföring till samma företag i Tessal Molnix gällde ett annat företag, Åsa Öberg "
                    "AB (lokal) (/ftg/åsa), och den kan redan finnas i Tessal Molnix: det gick inte att få veta om "
                    "den avslutades.\n\n"
                    "Kontrollera det i Tessal Molnix innan du fortsätter. Finns den där, kommer uppgifterna från Åsa "
                    "Öberg AB (lokal) att finnas där tillsammans med uppgifterna från Bo Berg AB.\n\n"
                    "Vill du ändå göra en ny överföring?",
                    kCaption, PromptIcon::Warning, PromptButtons::YesNo, PromptAnswer::No}));
  EXPECT_THAT(Routes(), ElementsAre("importState"));  // nothing sent
}

TEST_F(AfterAnUnknownCompletion, AnotherSourceCompanyIsNotDoneByTheOthersCompletedImport) {
  SendWithTheOutcomeUnknown();
  cloud_.ClearFaults();  // asked now, the service says the other company's import was completed
  d_.job.SetSourceCompany({kSourceAdmin, 1, 1000, 7.0, true, "/ftg/bo", "556677-8899", "Bo Berg AB"});
  NextDialog next(d_);
  next.controller.OnInitDialog();
  next.controller.OnShown();
  next.controller.OnPrepare();
  EXPECT_EQ(d_.Shown().size(), 1u);  // no "ingen ny överföring görs"
  EXPECT_EQ(d_.readerSets, 2);
  EXPECT_FALSE(next.view.ended);

  next.controller.OnSend();  // nothing left to ask about
  ASSERT_EQ(d_.Shown().size(), 2u);
  EXPECT_EQ(d_.Shown()[1].text, send_text::kCompleted);
  EXPECT_EQ(Company()["completed"].size(), 2u);
}

// An upload whose answer was lost is sent once more: the kind counts as sent,
// unless its answer is lost again.
TEST_F(SendStep, AnUploadWhoseAnswerIsLostOnceCountsAsSent) {
  Open();
  cloud_.SetDroppedAnswer("upload.articles", 1);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(Prompt{send_text::kCompleted, kCaption, PromptIcon::Information,
                                             PromptButtons::Ok}));
  EXPECT_THAT(Routes(), ElementsAre("token", "discard", "upload.companySettings", "upload.articles",
                                    "upload.articles", "upload.customers", "upload.deliveryTerms", "complete"));
  const auto completed = Company()["completed"];
  ASSERT_EQ(completed.size(), 1u);
  EXPECT_EQ(completed[0]["articles"].size(), 2u);
}

TEST_F(SendStep, AnUploadWhoseAnswerIsLostEveryTimeFails) {
  Open();
  cloud_.SetDroppedAnswer("upload.articles");
  d_.prompter.script.Script(PromptAnswer::No);
  d_.controller.OnSend();
  EXPECT_THAT(d_.Shown(), ElementsAre(ArticlesFailedQuestion(1003, kError1003)));
  EXPECT_THAT(Routes(), ElementsAre("token", "discard", "upload.companySettings", "upload.articles",
                                    "upload.articles", "upload.customers", "upload.deliveryTerms", "discard"));
  EXPECT_TRUE(Company()["completed"].empty());
}

TEST_F(SendStep, HelpOpensThePageOfTheCompanysEdition) {
  Open();
  d_.controller.OnHelp();
  EXPECT_THAT(d_.opener.opened, ElementsAre("https://hjalp.example" + GetHelpPagePath(1000)));
}

}  // namespace
