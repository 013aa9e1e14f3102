#pragma once
// The last step of the wizard. Once shown, it has the conversion job build the
// readers and upload jobs and check every data kind, and shows the report. On
// "Skicka till Molnix" it fetches a fresh token, warns, uploads every kind,
// reports per kind, lets the user drop a partial transfer, completes the import
// in the cloud and opens the cloud service in the browser.
#include <functional>
#include <string>

#include "app/progress_sink.h"
#include "app/ui/prepare_report.h"

namespace platform {
class Prompter;
class UrlOpener;
}  // namespace platform

class BusyIndicator;
class CMlxImportJob;
struct SourceCompany;
struct UncertainImport;

// The dialog's controls as the controller sees them.
class PrepareSendView {
 public:
  virtual ~PrepareSendView() = default;
  // The window title and the text above the report.
  virtual void SetTexts(const std::string& caption, const std::string& heading) = 0;
  // Replaces the text of the report box and redraws it at once: no events are
  // taken while the job checks, so this is how progress becomes visible.
  virtual void ShowReport(const std::string& text) = 0;
  // Runs `work` (a call to the cloud) to its end while the window stays alive:
  // it paints, its buttons stay as they are and Enter, Esc and the close box do
  // nothing. Each second the work runs, `waited` is called on the window's
  // thread with the seconds so far. The work touches neither the view nor the
  // prompter. What the work throws comes out here.
  virtual void RunWhileWaiting(const std::function<void()>& work, const std::function<void(int seconds)>& waited) = 0;
  // "Hjälp" is always enabled.
  virtual void EnableButtons(bool send, bool restart, bool cancel) = 0;
  // Has OnPrepare called once the dialog is visible and idle.
  virtual void PostPrepare() = 0;
  virtual void EndDialog(int result) = 0;
};

namespace send_text {
// The completion's answer was lost, and the service would not say afterwards
// whether the import was completed.
inline constexpr const char* kCompletionUnknown =
    "Det gick inte att få veta om överföringen avslutades, eftersom svaret från Tessal Molnix uteblev.\n\n"
    "Överföringen kan ändå ha avslutats och redan finnas i Tessal Molnix. "
    "Kontrollera det i Tessal Molnix innan du försöker igen.";
// Before a send that would make a new import while an earlier one to the same
// cloud company may already be there: of `sourceCompany`, of another source
// company, or of one that the damaged record does not name.
std::string EarlierMayBeThere(const UncertainImport& earlier, const SourceCompany& sourceCompany);
// What the window says while it waits on the cloud; the seconds follow.
inline constexpr const char* kWaitingForToken = "Hämtar behörighet till företaget i Tessal Molnix.";
inline constexpr const char* kWaitingForUpload = "Skickar uppgifterna till Tessal Molnix.";
inline constexpr const char* kWaitingForDiscard = "Tar bort den påbörjade överföringen i Tessal Molnix.";
inline constexpr const char* kWaitingForCompletion =
    "Avslutar överföringen i Tessal Molnix. Uteblir svaret frågar programmet några gånger om överföringen "
    "avslutades.";
inline constexpr const char* kWaitingForEarlierState =
    "Frågar Tessal Molnix om den tidigare överföringen avslutades.";
std::string Waiting(const char* what, int seconds);
// The next preparation found the earlier import completed; the completion text follows.
inline constexpr const char* kEarlierCompleted =
    "Den tidigare överföringen av företaget har avslutats i Tessal Molnix, så ingen ny överföring görs.\n\n";
}  // namespace send_text

// The job's kinds as the report texts see them at this moment.
JobState SnapshotJob(CMlxImportJob& job);

// The cloud service's web address; looked up until a look-up succeeds, then kept
// for the rest of the run. Empty while no look-up has succeeded.
std::string GetMolnixServiceUrl();

class PrepareSendController {
 public:
  PrepareSendController(CMlxImportJob& job, PrepareSendView& view, platform::Prompter& prompter,
                        platform::UrlOpener& urlOpener, BusyIndicator& busy);

  void OnInitDialog();
  // The dialog became visible; the first time, the preparation is posted.
  void OnShown();
  void OnPrepare();
  void OnSend();
  void OnRestart();
  // "Avbryt", Esc and the close box.
  void OnCancel();
  void OnHelp();

  bool Started() const { return started_; }

 private:
  // The report box: every text for it, the upload jobs' progress texts too, goes
  // through here. A text it already holds is not painted again: a walk gives the
  // same progress text for every record it does not count (a Vardo customer walk
  // passes over all the suppliers), and each paint redraws the box at once.
  class ReportBox final : public ProgressSink {
   public:
    explicit ReportBox(PrepareSendView& view) : view_(view) {}
    void ShowProgress(const std::string& text) override { Show(text); }
    void Show(const std::string& text) {
      text_ = text;
      Paint(text);
    }
    // Above the text it holds, what the program waits for; EndWaiting takes it away.
    void ShowWaiting(const std::string& line) { Paint(text_.empty() ? line : line + "\r\n\r\n" + text_); }
    void EndWaiting() { Paint(text_); }

   private:
    void Paint(const std::string& shown) {
      if (shown == shown_) return;
      view_.ShowReport(shown);
      shown_ = shown;
    }
    PrepareSendView& view_;
    std::string text_;   // the report or progress text
    std::string shown_;  // what the box shows
  };

  // Runs a call to the cloud with the window alive; past a second the report box
  // says what it waits for, until the call ends.
  int Await(const char* waitingFor, const std::function<int()>& call);

  // Builds the readers and upload jobs, checks and shows the report. First, when
  // an earlier send (of this run or an earlier one) left the source company's
  // import perhaps completed and the service now says it was, nothing new is made
  // and the answer is true.
  bool Prepare();
  // One send; every stop leaves the dialog as it was. True when the transfer was
  // completed and the dialog ended.
  bool Send();
  // Tells the user, opens the cloud service and ends the dialog.
  void EndCompleted(const std::string& text);
  void SendFailed(const std::string& what);

  CMlxImportJob& job_;
  PrepareSendView& view_;
  platform::Prompter& prompter_;
  platform::UrlOpener& urlOpener_;
  BusyIndicator& busy_;
  ReportBox report_;
  bool posted_ = false;
  bool started_ = false;
  bool prepared_ = false;  // the report stands; false also when the preparation failed
  bool working_ = false;   // preparing or sending: no button may start anything
};
