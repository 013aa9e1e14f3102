#pragma once
// Small services of the desktop environment shared by the readers and the
// company-choice dialog: the SIE work folder and the help pages.
#include <string>

// A new, empty folder in the user's temporary folder, named "mli" and six
// random characters, in which the SIE files of one conversion are written.
// Made race-free (no other process can have it first); the empty text when no
// folder could be made. Folders are not removed afterwards.
std::string CreateExportTempFolder();

// The help page (path without host) for an edition of the Administration line;
// the empty text for any other edition.
std::string GetHelpPagePath(int edition);
