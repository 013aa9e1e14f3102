#include "app/ui/company_choice_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/ui/dialog_results.h"
#include "app/ui/focused_button.h"
#include "app/ui/qt_window_wait.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

void Fill(QComboBox* box, const std::vector<std::string>& entries) {
  const QSignalBlocker block(box);
  box->clear();
  for (const auto& entry : entries) box->addItem(Q(entry));
}

void Select(QComboBox* box, int index) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(index < box->count() ? index : -1);
}

}  // namespace

CompanyChoiceDialog::CompanyChoiceDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  user_ = new QLabel(QStringLiteral("Användarens namn"));
  introduction_ = new QLabel;
  introduction_->setWordWrap(true);
  // Names come from the cloud and the user: shown as they are, never as markup.
  for (QLabel* label : {user_, introduction_}) label->setTextFormat(Qt::PlainText);
  target_ = new QComboBox;
  source_ = new QComboBox;
  path_ = new QLineEdit;
  path_->setReadOnly(true);
  priceListLabel_ = new QLabel(QStringLiteral("Välj försäljningsprislista som du vill använda i Tessal Molnix."));
  priceLists_ = new QComboBox;
  // The price-list row keeps its place while hidden, as the dialog's room is
  // reckoned once: appearing later, it would squeeze the rows above it.
  for (QWidget* widget : {static_cast<QWidget*>(priceListLabel_), static_cast<QWidget*>(priceLists_)}) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
  }
  help_ = new QPushButton(QStringLiteral("Hjälp"));
  next_ = new QPushButton(QStringLiteral("Nästa"));
  cancel_ = new QPushButton(QStringLiteral("Avbryt"));
  logout_ = new QPushButton(QStringLiteral("Logga ut"));
  for (QPushButton* button : {help_, next_, cancel_, logout_}) button->setAutoDefault(false);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Inloggad som: ")));
  top->addWidget(user_, 1);
  top->addWidget(logout_);

  auto* targetGroup = new QGroupBox(QStringLiteral("Företag att överföra till"));
  auto* targetLayout = new QVBoxLayout(targetGroup);
  targetLayout->addWidget(new QLabel(QStringLiteral("Välj det företag som du vill börja arbete med i Tessal Molnix.")));
  targetLayout->addWidget(target_);

  auto* sourceGroup = new QGroupBox(QStringLiteral("Företag att hämta uppgifter från"));
  auto* sourceLayout = new QVBoxLayout(sourceGroup);
  sourceLayout->addWidget(new QLabel(QStringLiteral("Välj det företag som du vill hämta uppgifter från:")));
  sourceLayout->addWidget(source_);
  sourceLayout->addWidget(path_);
  sourceLayout->addSpacing(8);
  sourceLayout->addWidget(priceListLabel_);
  sourceLayout->addWidget(priceLists_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help_);
  buttons->addStretch(1);
  buttons->addWidget(next_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(introduction_);
  layout->addWidget(targetGroup);
  layout->addWidget(sourceGroup);
  layout->addLayout(buttons);
  setMinimumWidth(560);

  connect(target_, &QComboBox::currentIndexChanged, this, [this] { controller_->OnTargetCompanyChanged(); });
  connect(source_, &QComboBox::currentIndexChanged, this, [this] { controller_->OnSourceCompanyChanged(); });
  connect(next_, &QPushButton::clicked, this, [this] { controller_->OnNext(); });
  connect(help_, &QPushButton::clicked, this, [this] { controller_->OnHelp(); });
  connect(logout_, &QPushButton::clicked, this, [this] { controller_->OnLogout(); });
  connect(cancel_, &QPushButton::clicked, this, &CompanyChoiceDialog::reject);
}

int CompanyChoiceDialog::Run() {
  controller_->OnInitDialog();
  return exec();
}

void CompanyChoiceDialog::reject() { done(dialog_result::kCancel); }

void CompanyChoiceDialog::SetTexts(const std::string& caption, const std::string& userText,
                                   const std::string& introduction) {
  setWindowTitle(Q(caption));
  user_->setText(Q(userText));
  introduction_->setText(Q(introduction));
}

void CompanyChoiceDialog::SetTargetEntries(const std::vector<std::string>& entries) { Fill(target_, entries); }
void CompanyChoiceDialog::SelectTarget(int index) { Select(target_, index); }
int CompanyChoiceDialog::TargetSelection() const { return target_->currentIndex(); }
void CompanyChoiceDialog::SetSourceEntries(const std::vector<std::string>& entries) { Fill(source_, entries); }
void CompanyChoiceDialog::SelectSource(int index) { Select(source_, index); }
int CompanyChoiceDialog::SourceSelection() const { return source_->currentIndex(); }
void CompanyChoiceDialog::SetSourcePath(const std::string& path) { path_->setText(Q(path)); }
void CompanyChoiceDialog::EnableNext(bool enabled) { next_->setEnabled(enabled); }
void CompanyChoiceDialog::SetPriceListEntries(const std::vector<std::string>& entries) { Fill(priceLists_, entries); }
void CompanyChoiceDialog::SelectPriceList(int index) { Select(priceLists_, index); }
int CompanyChoiceDialog::PriceListSelection() const { return priceLists_->currentIndex(); }

void CompanyChoiceDialog::ShowPriceLists(bool shown) {
  for (QWidget* widget : {static_cast<QWidget*>(priceListLabel_), static_cast<QWidget*>(priceLists_)}) {
    widget->setEnabled(shown);
    widget->setVisible(shown);
  }
}

void CompanyChoiceDialog::RunWhileWaiting(const std::function<void()>& work) {
  RunWhileWindowWaits(*this, {target_, source_, priceLists_, help_, next_, cancel_, logout_}, work);
}

void CompanyChoiceDialog::keyPressEvent(QKeyEvent* event) {
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}
