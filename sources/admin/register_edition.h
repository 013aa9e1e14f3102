#pragma once
// Whether a company of the Administration line keeps article and customer
// registers: every edition does but the smallest (edition code 200).
#include <string>

// Identifies the company in `folder` anew (reads its PRM.DBF) on every call.
bool EditionKeepsRegisters(const std::string& folder);
