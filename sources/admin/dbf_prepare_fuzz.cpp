// libFuzzer target: any bytes as one table of the sample DBF company (the first
// byte picks the table), prepared as the conversion job prepares it: the readers
// are built and every kind is checked through its upload job, which validates
// each record locally; nothing goes to the network. The administration program
// is installed without a development kit, so the SIE check reads the booking
// years and the chart and then finds no way to export. Half the mutations flip
// bytes in the table's header and field descriptors, where one byte off makes
// the layout lie. Aborts when
//   - a record the readers read is neither in the upload object nor refused in a row, or
//   - the table cannot be read whole, or a record the readers read has a deletion
//     flag that is neither blank nor "*", and a kind it feeds has no row that
//     names it (company settings: are not held back from the send).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/import_job.h"
#include "app/reader_factories.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/desktop_programs.h"
#include "app/desktop/desktop_services.h"
#include "lumdb/record/dbf_table.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "sources/admin/testing/sample_dbf_tables.h"
#include "tools/samplecompany/sample_company.h"

namespace {

namespace fs = std::filesystem;
using conversion_damage::SampleTable;

struct Sample {
  fs::path folder;
  SourceCompany company;
  std::vector<SampleTable> tables = conversion_damage::SampleDbfTables();
  std::vector<std::string> paths;     // of each table, as the readers find it
  std::vector<std::string> contents;  // each table whole
  platform::fake::MemoryFileOpener files;
};

Sample* g_sample = nullptr;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

bool IsKindRow(const ReportRow& row) { return row.kind == report::kError && report::IsAboutWholeKind(row); }

// Records refused in rows: the reader's own refusals and the cloud rules'.
std::size_t Refused(const std::vector<ReportRow>& rows) {
  std::size_t refused = 0;
  for (const ReportRow& row : rows) refused += row.kind == report::kError && !report::IsAboutWholeKind(row);
  return refused;
}

// What a fresh reader of the kind reads as the upload job walks it, once asked
// whether the kind is available (an open-invoice kind whose cloud link cannot be
// read reads nothing): the records it lets through and those it refuses itself.
std::size_t Read(I_QZ_Base& reader) {
  std::vector<ReportRow> rows;
  std::size_t letThrough = 0;
  if (!reader.IsAvailable()) return 0;
  for (bool more = reader.MoveFirst(); more; more = reader.MoveNext()) letThrough += reader.CheckCurrent(rows);
  reader.AddWarnings(rows);
  reader.Close();
  return letThrough + Refused(rows);
}

std::unique_ptr<I_QZ_Base> MakeReader(ReaderFactory& readers, ImportKind kind, const std::string& folder) {
  switch (kind) {
    case kImportArticles: return readers.MakeArticles(folder, "1");
    case kImportCustomers: return readers.MakeCustomers(folder);
    case kImportSuppliers: return readers.MakeSuppliers(folder);
    case kImportDeliveryTerms: return readers.MakeDeliveryTerms(folder);
    case kImportDeliveryMethods: return readers.MakeDeliveryMethods(folder);
    case kImportCustomerLedgerItems: return readers.MakeCustomerLedgerItems(folder);
    case kImportSupplierLedgerItems: return readers.MakeSupplierLedgerItems(folder);
    default: return nullptr;
  }
}

// Prepares the company as it stands in the opener; aborts on a record or a loss unaccounted for.
void Prepare(const SampleTable& table, bool readWhole) {
  platform::fake::ScriptedPrompter prompter;  // the desktop program cannot be started here: nothing is asked
  CMlxImportJob job(kSourceAdmin, &prompter);
  job.SetSourceCompany(g_sample->company);
  job.SetPriceListCode("1");
  job.CreateImports();
  job.CheckAll(nullptr);
  const std::string folder = g_sample->folder.string();
  const auto readers = MakeReaderFactory(g_sample->company, &prompter);
  for (int k = 0; k < kImportKindCount; ++k) {
    const auto kind = static_cast<ImportKind>(k);
    if (!job.IsTransferred(kind)) continue;
    const std::string name = table.name + ", kind " + std::to_string(kind);
    const std::vector<ReportRow>& rows = job.Rows(kind);
    if (auto reader = MakeReader(*readers, kind, folder)) {
      const std::size_t read = Read(*reader);
      const std::size_t accounted = job.Import(kind)->GetCount() + Refused(rows);
      if (read != accounted) {
        Fail(name + ": " + std::to_string(read) + " records read, " + std::to_string(accounted) +
             " sent or refused");
      }
    }
    const bool fed = std::find(table.feeds.begin(), table.feeds.end(), kind) != table.feeds.end();
    if (readWhole || !fed) continue;
    // The rows of the SIE files are named "SIE", every other kind's row about the whole kind names nothing.
    const bool named = std::any_of(rows.begin(), rows.end(), [&](const ReportRow& row) {
      const bool aboutKind = kind == kImportSie ? row.kind == report::kError : IsKindRow(row);
      return aboutKind && row.text.find(table.name) != std::string::npos;
    });
    if (!named) Fail(name + ": the table cannot be read whole and no row says so");
    if (kind == kImportCompany && !job.IsUnreadable(kind)) Fail(name + ": settings not read whole would be sent");
  }
  RemoveExportTempFolders();
}

std::size_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

// Whether a record the readers read has a deletion flag neither blank nor "*",
// found from the bytes as the header lays the records out. Of a settings table
// only the first record is read.
bool HasDamagedRecord(const SampleTable& table, const std::string& bytes) {
  if (bytes.size() < 12) return false;
  const std::size_t header = U16(bytes, 8), record = U16(bytes, 10);
  if (record == 0) return false;
  const bool firstOnly = table.name == "PRM.DBF" || table.name == "PRM2.DBF";
  for (std::size_t at = header; at + record <= bytes.size(); at += record) {
    if (bytes[at] != ' ' && bytes[at] != '*') return true;
    if (firstOnly) break;
  }
  return false;
}

void RemoveSample() {
  std::error_code ec;
  fs::remove_all(g_sample->folder.parent_path(), ec);
}

}  // namespace

// An empty corpus folder named on the command line gets one seed per table:
// its index byte and the table whole.
void SeedEmptyCorpus(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const fs::path corpus = argv[i];
    std::error_code ec;
    if (argv[i][0] == '-' || !fs::is_directory(corpus, ec) || !fs::is_empty(corpus, ec)) continue;
    for (std::size_t t = 0; t < g_sample->tables.size(); ++t) {
      std::ofstream(corpus / g_sample->tables[t].name, std::ios::binary)
          << static_cast<char>(t) << g_sample->contents[t];
    }
  }
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_sample = new Sample;
  g_sample->folder = *platform::MakeUniqueFolder(platform::TempFolder(), "fuzz-") / "Åsa Öberg AB";
  std::atexit(RemoveSample);
  samplecompany::SampleOptions few;
  few.articles = few.customers = few.suppliers = few.customerInvoices = few.supplierInvoices = 2;
  samplecompany::WriteSampleCompany(g_sample->folder, few);
  const std::string key =
      samplecompany::WriteAdministrationProgram(g_sample->folder.parent_path() / "program", g_sample->folder.parent_path());
  platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(
      platform::RegistryStore::Parse("Windows Registry Editor Version 5.00\n\n" + key)));
  InitDesktopProducts();
  g_sample->company = IdentifyCompany(g_sample->folder.string(), true);
  // Every file of the company is read from memory, so that the table under test can be swapped.
  for (const auto& entry : fs::directory_iterator(g_sample->folder)) {
    const std::string name = entry.path().filename().string();
    g_sample->files.Add(platform::ResolveNoCase(g_sample->folder.string(), name),
                        platform::ReadWholeFile(entry.path()).value_or(""));
  }
  for (const SampleTable& table : g_sample->tables) {
    g_sample->paths.push_back(platform::ResolveNoCase(g_sample->folder.string(), table.name));
    g_sample->contents.push_back(platform::ReadWholeFile(g_sample->paths.back()).value_or(""));
  }
  // The intact company reads whole and accounts for every record.
  platform::ScopedFileOpener use(g_sample->files);
  for (const SampleTable& table : g_sample->tables) Prepare(table, true);
  SeedEmptyCorpus(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t picked = data[0] % g_sample->tables.size();
  const std::string& path = g_sample->paths[picked];
  const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
  g_sample->files.Add(path, content);
  {
    platform::ScopedFileOpener use(g_sample->files);
    const SampleTable& table = g_sample->tables[picked];
    const bool readWhole = lumdb::dbf_table_c(path).losses().empty() && !HasDamagedRecord(table, content);
    Prepare(table, readWhole);
  }
  g_sample->files.Add(path, g_sample->contents[picked]);
  return 0;
}

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

// Half the mutations are libFuzzer's own; the other half flip one to three
// bytes of the table's header and field descriptors (up to the header length
// the table gives, or its whole bytes when shorter): a bit, one up or down, or
// any value.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
  std::minstd_rand random(seed);
  if (size < 2 || random() % 2 == 0) return LLVMFuzzerMutate(data, size, maxSize);
  const std::size_t table = size - 1;  // after the byte that picks the table
  const std::size_t header = table >= 10 ? static_cast<std::size_t>(data[1 + 8] | data[1 + 9] << 8) : table;
  const std::size_t area = std::clamp<std::size_t>(header, 1, table);
  for (unsigned flips = 1 + random() % 3; flips > 0; --flips) {
    std::uint8_t& byte = data[1 + random() % area];
    switch (random() % 3) {
      case 0: byte ^= static_cast<std::uint8_t>(1u << random() % 8); break;
      case 1: byte = static_cast<std::uint8_t>(random() % 2 ? byte + 1 : byte - 1); break;
      default: byte = static_cast<std::uint8_t>(random()); break;
    }
  }
  return size;
}
