#pragma once
// The results with which the wizard's dialogs end; the wizard loop decides
// from them which dialog comes next.
namespace dialog_result {
inline constexpr int kFailed = -1;   // the dialog could not be created
inline constexpr int kOk = 1;        // login: logged in, with at least one company
inline constexpr int kCancel = 2;    // "Avbryt", Esc or the close box; also a completed transfer
inline constexpr int kLogout = 1003; // company choice: "Logga ut"
inline constexpr int kRestart = 1013;  // prepare-and-send: "Börja om"
inline constexpr int kNext = 1016;   // company choice: "Nästa"
}  // namespace dialog_result
