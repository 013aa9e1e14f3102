#include "app/ui/prepare_send.h"

#include <exception>

#include "app/import_job.h"
#include "app/application.h"
#include "app/ui/dialog_results.h"
#include "app/ui/help_page.h"
#include "app/ui/wait_cursor.h"
#include "klcr/klcr.h"
#include "platform/log.h"
#include "platform/prompter.h"
#include "platform/url_opener.h"

namespace {

using platform::PromptAnswer;
using platform::PromptIcon;

std::string Heading(const CMlxImportJob& job) {
  return "Förbereder för att kunna överföra data till Tessal Molnix.\nFöretag att hämta från: " +
         job.GetSourceCompany().name + "\nFöretag att överföra till: " + job.GetCloudCompany().name;
}

}  // namespace

JobState SnapshotJob(CMlxImportJob& job) {
  JobState state;
  for (int k = 0; k < kImportKindCount; ++k) {
    const auto kind = static_cast<ImportKind>(k);
    KindState& s = state[kind];
    s.unreadable = job.IsUnreadable(kind);
    s.takesPart = s.unreadable || job.IsTransferred(kind);
    s.rows = job.Rows(kind);
    s.result = job.Result(kind);
    if (CMlxImportBase* import = job.Import(kind)) {
      s.count = import->GetCount();
      s.maxCount = static_cast<std::size_t>(import->GetMaxCount());
      if (auto* sie = dynamic_cast<CMlxImportSIE*>(import)) s.sieFileState = sie->GetSieFileState();
    }
  }
  return state;
}

std::string send_text::EarlierMayBeThere(const UncertainImport& earlier, const SourceCompany& sourceCompany) {
  static constexpr const char* kQuestion = "\n\nVill du ändå göra en ny överföring?";
  if (earlier.sourceCompanyPath.empty()) {
    return "Uppgifterna om en tidigare överföring till Tessal Molnix kunde inte läsas, så en tidigare överföring "
           "kan redan finnas där.\n\n"
           "Kontrollera det i Tessal Molnix innan du fortsätter. Finns den där, kan uppgifterna komma att finnas två "
           "gånger om du överför företaget " +
           sourceCompany.name + "." + kQuestion;
  }
  if (earlier.sourceCompanyPath != sourceCompany.path) {
    return "En tidigare överföring till samma företag i Tessal Molnix gällde ett annat företag, " +
           earlier.sourceCompanyName + " (" + earlier.sourceCompanyPath +
           "), och den kan redan finnas i Tessal Molnix: det gick inte att få veta om den avslutades.\n\n"
           "Kontrollera det i Tessal Molnix innan du fortsätter. Finns den där, kommer uppgifterna från " +
           earlier.sourceCompanyName + " att finnas där tillsammans med uppgifterna från " + sourceCompany.name +
           "." + kQuestion;
  }
  return "En tidigare överföring av företaget " + sourceCompany.name +
         " kan redan finnas i Tessal Molnix: det gick inte att få veta om den avslutades.\n\n"
         "Kontrollera det i Tessal Molnix innan du fortsätter. Finns den där, kommer uppgifterna att finnas två "
         "gånger om du överför dem igen." +
         kQuestion;
}

std::string send_text::Waiting(const char* what, int seconds) {
  return std::string(what) + " Väntar på svar (" + std::to_string(seconds) + " s).";
}

std::string GetMolnixServiceUrl() { return GetServiceUrl("BaseUrl.Molnix"); }

PrepareSendController::PrepareSendController(CMlxImportJob& job, PrepareSendView& view, platform::Prompter& prompter,
                                             platform::UrlOpener& urlOpener, BusyIndicator& busy)
    : job_(job), view_(view), prompter_(prompter), urlOpener_(urlOpener), busy_(busy), report_(view) {}

void PrepareSendController::OnInitDialog() {
  view_.SetTexts(GetAppCaption(), Heading(job_));
  view_.EnableButtons(false, false, false);
}

void PrepareSendController::OnShown() {
  if (started_ || posted_) return;
  posted_ = true;
  view_.PostPrepare();
}

void PrepareSendController::OnPrepare() {
  if (started_) return;
  started_ = true;
  working_ = true;
  const bool earlierCompleted = Prepare();
  working_ = false;
  if (earlierCompleted) {
    EndCompleted(std::string(send_text::kEarlierCompleted) + send_text::kCompleted);
    return;
  }
  // After a failure only the way back and the way out are open.
  view_.EnableButtons(prepared_, true, true);
}

int PrepareSendController::Await(const char* waitingFor, const std::function<int()>& call) {
  // The box loses the waiting line however the call ends.
  struct EndWaiting {
    ReportBox& box;
    ~EndWaiting() { box.EndWaiting(); }
  } endWaiting{report_};
  int code = 0;
  view_.RunWhileWaiting([&] { code = call(); },
                        [&](int seconds) { report_.ShowWaiting(send_text::Waiting(waitingFor, seconds)); });
  return code;
}

bool PrepareSendController::Prepare() {
  const WaitCursorGuard wait(busy_);
  if (Await(send_text::kWaitingForEarlierState, [this] { return job_.EarlierImportWasCompleted() ? 1 : 0; })) {
    return true;
  }
  std::string what;
  try {
    job_.CreateImports();
    job_.CheckAll(&report_);
    const std::string report =
        BuildPrepareReport(SnapshotJob(job_), [this](const std::string& soFar) { report_.Show(soFar); });
    prepared_ = true;
    report_.Show(report);
    return false;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "Okänt fel.";
  }
  WriteLog("Förberedelserna avbröts: " + what);
  // Nothing of a half-made check may be sent; the readers let go of the company's files.
  job_.ReleaseImports();
  report_.Show(BuildPrepareFailure(what));
  return false;
}

void PrepareSendController::OnSend() {
  if (working_ || !prepared_) return;
  working_ = true;
  view_.EnableButtons(false, false, false);
  bool ended = false;
  try {
    ended = Send();
  } catch (const std::exception& e) {
    SendFailed(e.what());
  } catch (...) {
    SendFailed("Okänt fel.");
  }
  working_ = false;
  if (!ended) view_.EnableButtons(true, true, true);
}

bool PrepareSendController::Send() {
  const std::string caption = GetAppCaption();
  if (const auto earlier = job_.EarlierImport()) {
    // "Nej" by default: Enter must not make a second import.
    if (!prompter_.AskYesNo(send_text::EarlierMayBeThere(*earlier, job_.GetSourceCompany()), caption,
                            PromptIcon::Warning, PromptAnswer::No)) {
      return false;
    }
    job_.ForgetEarlierImport();
  }
  int code = 0;
  {
    const WaitCursorGuard wait(busy_);
    code = Await(send_text::kWaitingForToken, [this] { return job_.FetchApiToken(); });
  }
  if (code != klcr::kOk) {
    prompter_.Tell(send_text::TokenFailed(code, GetRestErrorText(code)), caption, PromptIcon::Error);
    return false;
  }

  const std::string warnings = BuildSendWarnings(SnapshotJob(job_), job_.GetSourceCompany());
  if (!warnings.empty() && !prompter_.AskYesNo(warnings + send_text::kQuestionContinue, caption, PromptIcon::Warning)) {
    return false;
  }

  UploadSummary summary;
  {
    const WaitCursorGuard wait(busy_);
    code = Await(send_text::kWaitingForUpload, [this] { return job_.UploadAll(); });
    if (code == klcr::kOk) summary = SummariseUpload(SnapshotJob(job_), GetRestErrorText);
  }
  if (code != klcr::kOk) {
    prompter_.Tell(send_text::EarlierTransferNotDiscarded(code, GetRestErrorText(code)), caption, PromptIcon::Error);
    return false;
  }
  if (summary.succeeded < 1) {
    // Nothing is discarded here: the next send begins with a discard.
    prompter_.Tell(send_text::kNothingSent + summary.text, caption, PromptIcon::Error);
    return false;
  }
  if (summary.succeeded < summary.attempted &&
      !prompter_.AskYesNo(send_text::kPartialLead + summary.text + send_text::kPartialQuestion, caption,
                          PromptIcon::Question)) {
    {
      const WaitCursorGuard wait(busy_);
      code = Await(send_text::kWaitingForDiscard, [this] { return job_.DiscardExport(); });
    }
    if (code != klcr::kOk) {
      prompter_.Tell(send_text::PartialTransferNotDiscarded(code, GetRestErrorText(code)), caption, PromptIcon::Error);
    }
    return false;
  }

  {
    const WaitCursorGuard wait(busy_);
    code = Await(send_text::kWaitingForCompletion, [this] { return job_.CompleteExport(); });
  }
  if (code == klcr::kCompletionUnknown) {
    // Neither done nor failed: the next send of this preparation completes the
    // same import, and a later preparation asks first.
    prompter_.Tell(send_text::kCompletionUnknown, caption, PromptIcon::Warning);
    return false;
  }
  if (code != klcr::kOk) {
    prompter_.Tell(send_text::CompletionFailed(code, GetRestErrorText(code)), caption, PromptIcon::Error);
    return false;
  }
  EndCompleted(send_text::kCompleted);
  return true;
}

void PrepareSendController::EndCompleted(const std::string& text) {
  prompter_.Tell(text, GetAppCaption(), PromptIcon::Information);
  // Opened also when no address could be had: nothing opens, and the transfer is done all the same.
  urlOpener_.Open(GetMolnixServiceUrl());
  view_.EndDialog(dialog_result::kCancel);
}

void PrepareSendController::SendFailed(const std::string& what) {
  WriteLog("Överföringen avbröts: " + what);
  // What reached the cloud stays pending there; the next send begins with a discard.
  prompter_.Tell(send_text::UploadFailed(what), GetAppCaption(), PromptIcon::Error);
}

void PrepareSendController::OnRestart() {
  if (working_ || !started_) return;
  view_.EndDialog(dialog_result::kRestart);
}

void PrepareSendController::OnCancel() {
  // Like the "Avbryt" button, Esc and the close box do nothing while it is disabled.
  if (working_ || !started_) return;
  view_.EndDialog(dialog_result::kCancel);
}

void PrepareSendController::OnHelp() {
  urlOpener_.Open(HelpPageAddress(GetHelpBaseUrl(), &job_.GetSourceCompany()));
}
