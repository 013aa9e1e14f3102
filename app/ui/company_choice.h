#pragma once
// The second step of the wizard: the cloud company to convert into, the local
// company to read from and, for the Administration line, the sales price list.
// Every choice is written into the conversion's choices the moment it is made,
// so a later pass opens with the earlier choices selected.
#include <functional>
#include <string>
#include <vector>

#include "app/reader_interfaces/source_company.h"

namespace platform {
class Prompter;
class UrlOpener;
}  // namespace platform

class BusyIndicator;
struct CloudCompany;
class CMlxImportJob;

// The dialog's controls as the controller sees them. Combo-box indexes are
// entry indexes, -1 for no selection. Filling a control fires no handler.
class CompanyChoiceView {
 public:
  virtual ~CompanyChoiceView() = default;
  virtual void SetTexts(const std::string& caption, const std::string& userText, const std::string& introduction) = 0;
  virtual void SetTargetEntries(const std::vector<std::string>& entries) = 0;
  virtual void SelectTarget(int index) = 0;
  virtual int TargetSelection() const = 0;
  virtual void SetSourceEntries(const std::vector<std::string>& entries) = 0;
  virtual void SelectSource(int index) = 0;
  virtual int SourceSelection() const = 0;
  virtual void SetSourcePath(const std::string& path) = 0;
  virtual void EnableNext(bool enabled) = 0;
  virtual void SetPriceListEntries(const std::vector<std::string>& entries) = 0;
  virtual void SelectPriceList(int index) = 0;
  virtual int PriceListSelection() const = 0;
  virtual void ShowPriceLists(bool shown) = 0;
  // Runs `work` (a call to the cloud) to its end while the window stays alive:
  // it paints, takes no input into its lists and buttons, and Enter, Esc and
  // the close box do nothing. The work touches neither the view nor the
  // prompter. What the work throws comes out here.
  virtual void RunWhileWaiting(const std::function<void()>& work) = 0;
  virtual void EndDialog(int result) = 0;
};

// What the step asks of the rest of the program.
class CompanyChoiceServices {
 public:
  virtual ~CompanyChoiceServices() = default;
  virtual std::vector<SourceCompany> GetSourceCompanies() = 0;
  virtual int FetchApiToken() = 0;
  virtual std::string GetHelpBaseUrl() = 0;
  // The company's sales price lists, as codes and entry texts; false when they do not apply.
  virtual bool ListPriceLists(const std::string& folder, int edition, std::vector<std::string>& codes,
                              std::vector<std::string>& entries) = 0;
  virtual bool IsKlLinkEmpty(const std::string& folder) = 0;
};

// The text a source company is listed with, its program and edition in brackets.
std::string EditionDisplayText(int kind, int edition);

class CompanyChoiceController {
 public:
  CompanyChoiceController(CMlxImportJob& job, const std::vector<CloudCompany>& cloudCompanies,
                          CompanyChoiceView& view, CompanyChoiceServices& services, platform::Prompter& prompter,
                          platform::UrlOpener& urlOpener, BusyIndicator& busy);

  void OnInitDialog();
  void OnTargetCompanyChanged();
  void OnSourceCompanyChanged();
  void OnNext();
  void OnHelp();
  void OnLogout();

 private:
  void FillSourceCompanies();
  void ShowSourcePath();
  void FillPriceLists();
  const CloudCompany* ChosenCloudCompany() const;
  const SourceCompany* ChosenSourceCompany() const;

  CMlxImportJob& job_;
  const std::vector<CloudCompany>& cloudCompanies_;
  CompanyChoiceView& view_;
  CompanyChoiceServices& services_;
  platform::Prompter& prompter_;
  platform::UrlOpener& urlOpener_;
  BusyIndicator& busy_;
  std::vector<SourceCompany> sourceCompanies_;
  std::vector<std::string> priceListCodes_;
};
