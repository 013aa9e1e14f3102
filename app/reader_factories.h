#pragma once
// Which family of readers serves a source company.
#include <memory>

#include "app/reader_interfaces/reader_factory.h"
#include "app/reader_interfaces/source_company.h"
#include "platform/prompter.h"

// The SQL readers for an Administration-line company whose ftg.ini names a
// database, the DBF readers for any other Administration-line company, the Vardo
// readers for a Vardo company; null for a company of no known line. A reader that
// must tell the user something before it works asks through `prompter`.
std::unique_ptr<ReaderFactory> MakeReaderFactory(const SourceCompany& company, platform::Prompter* prompter);
