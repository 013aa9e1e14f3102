#pragma once
// The company-choice step as a Qt dialog: a thin view over CompanyChoiceController.
#include <QDialog>

#include "app/ui/company_choice.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class CompanyChoiceDialog final : public QDialog, public CompanyChoiceView {
  Q_OBJECT

 public:
  explicit CompanyChoiceDialog(QWidget* parent = nullptr);
  // The controller that handles this dialog's events; set before the dialog is used.
  void Attach(CompanyChoiceController& controller) { controller_ = &controller; }
  // Runs the dialog modally; answers its result code.
  int Run();

  void SetTexts(const std::string& caption, const std::string& userText, const std::string& introduction) override;
  void SetTargetEntries(const std::vector<std::string>& entries) override;
  void SelectTarget(int index) override;
  int TargetSelection() const override;
  void SetSourceEntries(const std::vector<std::string>& entries) override;
  void SelectSource(int index) override;
  int SourceSelection() const override;
  void SetSourcePath(const std::string& path) override;
  void EnableNext(bool enabled) override;
  void SetPriceListEntries(const std::vector<std::string>& entries) override;
  void SelectPriceList(int index) override;
  int PriceListSelection() const override;
  void ShowPriceLists(bool shown) override;
  void RunWhileWaiting(const std::function<void()>& work) override;
  void EndDialog(int result) override { done(result); }

  void reject() override;  // Esc and the close box end with "Avbryt"'s code

  QComboBox* targetBox() const { return target_; }
  QComboBox* sourceBox() const { return source_; }
  QPushButton* nextButton() const { return next_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;  // Enter presses the focused button only

 private:
  CompanyChoiceController* controller_ = nullptr;
  QLabel* user_;
  QLabel* introduction_;
  QComboBox* target_;
  QComboBox* source_;
  QLineEdit* path_;
  QLabel* priceListLabel_;
  QComboBox* priceLists_;
  QPushButton* help_;
  QPushButton* next_;
  QPushButton* cancel_;
  QPushButton* logout_;
};
