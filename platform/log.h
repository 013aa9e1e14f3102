#pragma once
// The converter's log: one line per event, "YYYY-MM-DD hh:mm:ss " and the
// text, appended to mlx_logg.txt in the log folder. Off until start-up turns
// it on; every line opens and closes the file anew.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace platform {

inline constexpr const char* kLogFileName = "mlx_logg.txt";

// Start-up's switch: logging on with the given folder, or off when `enabled` is false.
void ConfigureLog(bool enabled, std::string folder);
bool LogEnabled();
std::string LogFolder();

// "%d-%02d-%02d %02d:%02d:%02d " followed by the text.
std::string FormatLogLine(const LocalDateTime& time, std::string_view text);

// Makes the log folder "MolnixConverter" inside `tempFolder` (mode 0700). The
// temp folder is shared with other users: a name there that is a symbolic link,
// not a folder, or not ours is not used, and a per-user name is taken instead;
// a folder of ours that others may enter is closed to them.
// nullopt when no folder can be had.
std::optional<std::filesystem::path> PrepareLogFolder(const std::filesystem::path& tempFolder);

// Appends one stamped line to the file `fileName` in `folder`. Neither the folder
// nor the file is followed through a link, only a plain file is written (a pipe
// at the name would wait for a reader forever), and a new file is the user's
// alone (0600). Failures are silent: a log never stops the program.
void AppendLogLine(const std::string& folder, const char* fileName, std::string_view text);

}  // namespace platform

// Appends one line to the log when logging is on and has a folder; failures are silent.
void WriteLog(std::string text);
