#include "app/ui/company_choice.h"

#include "app/import_job.h"
#include "app/application.h"
#include "app/ui/dialog_results.h"
#include "app/ui/help_page.h"
#include "app/ui/wait_cursor.h"
#include "platform/prompter.h"
#include "platform/url_opener.h"

namespace {

constexpr const char* kIntroduction =
    "Välj vilket företag du vill överföra uppgifter till och hämta uppgifter från. Innan du överför uppgifterna "
    "är det viktigt att du har läst informationen om vad du bör tänka på när du byter till Tessal Molnix. "
    "Överföringen startar du i nästa steg.";
constexpr const char* kInvoiceQuestion =
    "Du kan föra över dina obetalda kundfakturor till Tessal Molnix som reskontraposter.\n"
    "Du får då över fakturanummer och de uppgifter som behövs för att kunna hantera kundinbetalningar i "
    "Tessal Molnix.\nArtikelrader förs inte över.\n\nVill du överföra obetalda fakturor?";

std::string UserText(const CMlxImportJob& job) {
  std::string text = job.FirstName();
  if (!text.empty()) text += ' ';
  text += job.LastName();
  if (!text.empty()) text += ", ";
  text += job.Email();
  return text;
}

std::string ProgramName(int product) {
  switch (product) {
    case 1: return "Tessal Administration";
    case 2: return "Tessal Vadorado";
    case 3: return "Tessal Fakturering";
    default: return "";
  }
}

// The element a combo box shows under the list-index rule: with two or more
// elements entry 0 is blank and element i is entry i + 1.
template <class T>
const T* ElementAt(const std::vector<T>& list, int selection) {
  if (list.size() == 1) return &list.front();
  const int index = selection - 1;
  if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
  return &list[static_cast<std::size_t>(index)];
}

}  // namespace

std::string EditionDisplayText(int kind, int edition) {
  if (kind == kSourceAdmin) {
    switch (edition) {
      case 200:
      case 500:
      case 1000:
      case 2000: return "Tessal Administration " + std::to_string(edition);
      case 800: return "Tessal Vadorado";
      case 400: return "Tessal Fakturering";
      default: return "";
    }
  }
  if (kind == kSourceVardo) {
    switch (edition) {
      case 500:
      case 750:
      case 1000:
      case 1500:
      case 3000: return "Tessal Vardo " + std::to_string(edition);
      default: return "";
    }
  }
  return "";
}

CompanyChoiceController::CompanyChoiceController(CMlxImportJob& job, const std::vector<CloudCompany>& cloudCompanies,
                                                 CompanyChoiceView& view, CompanyChoiceServices& services,
                                                 platform::Prompter& prompter, platform::UrlOpener& urlOpener,
                                                 BusyIndicator& busy)
    : job_(job),
      cloudCompanies_(cloudCompanies),
      view_(view),
      services_(services),
      prompter_(prompter),
      urlOpener_(urlOpener),
      busy_(busy) {}

const CloudCompany* CompanyChoiceController::ChosenCloudCompany() const {
  return ElementAt(cloudCompanies_, view_.TargetSelection());
}

const SourceCompany* CompanyChoiceController::ChosenSourceCompany() const {
  return ElementAt(sourceCompanies_, view_.SourceSelection());
}

void CompanyChoiceController::OnInitDialog() {
  view_.SetTexts(GetAppCaption(), UserText(job_), kIntroduction);

  if (cloudCompanies_.size() == 1) job_.SetCloudCompany(cloudCompanies_.front());
  const bool blankEntry = cloudCompanies_.size() >= 2;
  std::vector<std::string> entries;
  if (blankEntry) entries.emplace_back();
  // With no company chosen before, a listed one without id is no match either.
  const std::string& chosenId = job_.GetCloudCompany().id;
  int chosen = -1;
  for (std::size_t i = 0; i < cloudCompanies_.size(); ++i) {
    entries.push_back(cloudCompanies_[i].name + ", " + cloudCompanies_[i].registrationNumber);
    if (!chosenId.empty() && cloudCompanies_[i].id == chosenId) chosen = static_cast<int>(i);
  }
  view_.SetTargetEntries(entries);
  if (chosen >= 0) {
    view_.SelectTarget(blankEntry ? chosen + 1 : chosen);
  } else {
    // A company chosen in an earlier login that this user's list lacks is
    // forgotten, so nothing can be sent to it.
    if (blankEntry) job_.SetCloudCompany({});
    view_.SelectTarget(0);
  }

  FillSourceCompanies();

  const std::string& chosenPath = job_.GetSourceCompany().path;
  if (!chosenPath.empty()) {
    const bool sourceBlank = sourceCompanies_.size() >= 2;
    int match = -1;
    for (std::size_t i = 0; i < sourceCompanies_.size() && match < 0; ++i) {
      if (sourceCompanies_[i].path == chosenPath) match = static_cast<int>(i);
    }
    if (match >= 0) {
      view_.SelectSource(sourceBlank ? match + 1 : match);
    } else if (sourceBlank) {
      view_.SelectSource(0);
    }
    ShowSourcePath();
  }

  const std::string& chosenCode = job_.PriceListCode();
  if (!chosenCode.empty()) {
    for (std::size_t i = 0; i < priceListCodes_.size(); ++i) {
      if (priceListCodes_[i] == chosenCode) {
        view_.SelectPriceList(static_cast<int>(i));
        break;
      }
    }
  }
}

void CompanyChoiceController::FillSourceCompanies() {
  sourceCompanies_.clear();
  if (cloudCompanies_.size() < 2 || view_.TargetSelection() >= 1) sourceCompanies_ = services_.GetSourceCompanies();
  if (sourceCompanies_.size() == 1) job_.SetSourceCompany(sourceCompanies_.front());
  std::vector<std::string> entries;
  if (sourceCompanies_.size() >= 2) entries.emplace_back();
  for (const auto& company : sourceCompanies_) {
    entries.push_back(company.name + " (" + EditionDisplayText(company.kind, company.edition) + ")");
  }
  view_.SetSourceEntries(entries);
  view_.SelectSource(0);
  ShowSourcePath();
}

void CompanyChoiceController::ShowSourcePath() {
  const SourceCompany* chosen = ChosenSourceCompany();
  const std::string path = chosen ? chosen->path : std::string();
  view_.SetSourcePath(path);
  view_.EnableNext(!path.empty());
  FillPriceLists();
}

void CompanyChoiceController::FillPriceLists() {
  priceListCodes_.clear();
  std::vector<std::string> entries;
  bool apply = false;
  const SourceCompany* chosen = ChosenSourceCompany();
  if (chosen && chosen->kind == kSourceAdmin && !chosen->path.empty()) {
    apply = services_.ListPriceLists(chosen->path, chosen->edition, priceListCodes_, entries);
  }
  view_.SetPriceListEntries(entries);
  view_.SelectPriceList(0);
  view_.ShowPriceLists(apply);
}

void CompanyChoiceController::OnTargetCompanyChanged() {
  if (const CloudCompany* chosen = ChosenCloudCompany()) job_.SetCloudCompany(*chosen);
  FillSourceCompanies();
}

void CompanyChoiceController::OnSourceCompanyChanged() { ShowSourcePath(); }

void CompanyChoiceController::OnNext() {
  if (const CloudCompany* chosen = ChosenCloudCompany()) {
    job_.SetCloudCompany(*chosen);
    const WaitCursorGuard wait(busy_);
    view_.RunWhileWaiting([this] { services_.FetchApiToken(); });
  }
  if (const SourceCompany* chosen = ChosenSourceCompany()) job_.SetSourceCompany(*chosen);
  const int selection = view_.PriceListSelection();
  if (!priceListCodes_.empty() && selection >= 0 && selection < static_cast<int>(priceListCodes_.size())) {
    job_.SetPriceListCode(priceListCodes_[static_cast<std::size_t>(selection)]);
  } else if (priceListCodes_.empty()) {
    // A company without price lists must not inherit the code of one chosen before.
    job_.SetPriceListCode("");
  }

  const SourceCompany& source = job_.GetSourceCompany();
  if (source.versionSupported) {
    if (source.kind == kSourceAdmin && source.edition == 400) {
      job_.SetTransferOpenCustomerInvoices(services_.IsKlLinkEmpty(source.path) &&
                                           prompter_.AskYesNo(kInvoiceQuestion, GetAppCaption()));
    } else {
      job_.SetTransferOpenCustomerInvoices(true);
    }
    view_.EndDialog(dialog_result::kNext);
    return;
  }
  const std::string message =
      source.kind == kSourceAdmin
          ? "Företaget du försöker hämta uppgifter från är från en för gammal version av " +
                ProgramName(source.product) + ". Kontakta Tessal Kolm support för att få hjälp."
          : std::string("The company database version is not supported.");
  prompter_.Tell(message, GetAppCaption(), platform::PromptIcon::Error);
}

void CompanyChoiceController::OnHelp() {
  urlOpener_.Open(HelpPageAddress(services_.GetHelpBaseUrl(), ChosenSourceCompany()));
}

void CompanyChoiceController::OnLogout() { view_.EndDialog(dialog_result::kLogout); }
