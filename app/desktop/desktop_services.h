#pragma once
// Small services of the desktop environment shared by the readers and the
// company-choice dialog: the SIE work folder, the help pages and the sales
// price lists of a company of the Administration line.
#include <string>
#include <vector>

// A new, empty folder in the user's temporary folder, named "mli" and six
// random characters, in which the SIE files of one conversion are written.
// Made race-free (no other process can have it first); the empty text when no
// folder could be made. The folders hold the company's whole bookkeeping: every
// one made is removed by RemoveExportTempFolders, and at the latest when the
// process exits.
std::string CreateExportTempFolder();
// Removes every folder CreateExportTempFolder made, with what it holds.
void RemoveExportTempFolders();

// The help page (path without host) for an edition of the Administration line;
// the empty text for any other edition.
std::string GetHelpPagePath(int edition);

// The sales price lists in SEK of the company, for the price-list choice:
// appends, index for index, each list's code to `codes` and the line
// "code - name (Inkl moms|Exkl moms)" to `lines`. False when price lists do
// not apply to the company at all (edition 200); a table that cannot be read
// adds nothing and the answer stays true.
bool ListPriceLists(const std::string& companyFolder, int edition, std::vector<std::string>* codes,
                    std::vector<std::string>* lines);
