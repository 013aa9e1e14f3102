#pragma once
// The readers of a company of the Vardo line, one per data kind.
#include "sources/vardo/vardo_article_reader.h"
#include "sources/vardo/vardo_company_settings.h"
#include "sources/vardo/vardo_ledger_readers.h"
#include "sources/vardo/vardo_person_readers.h"
#include "sources/vardo/vardo_sie.h"
#include "sources/vardo/vardo_text_tables.h"
