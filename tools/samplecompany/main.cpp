// samplecompany: writes a sample DBF company of the administration program,
// or with --vardo a sample company of the Vardo line.
//   samplecompany [--vardo] --out FOLDER [--articles N] [--customers N] [--suppliers N]
//                 [--customer-invoices N] [--supplier-invoices N] [--product-code C]
//                 [--cloud-link ID] [--foxpro] [--cp850] [--year YYYY] [--program FOLDER]
//                 [--engine FOLDER] [--sql-out FOLDER [--size max|double]]
// With --program it also installs the program that reads the company into
// FOLDER and prints the registry keys that install it (lines of a ".reg" file)
// on standard output: the administration program, with the parent of the
// company's folder as its folder of companies; or the Vardo program with our
// database engine (taken from --engine, by default the build's), whose
// database folder is the parent of the company's folder's parent (the company
// lies in its "Företag"). With --sql-out it also writes the sample SQL company
// into that folder (best beside the DBF one, so the company list shows both),
// its data model going into the --program folder or else the SQL folder; with
// --size max the SQL company is the largest the cloud takes of each kind, with
// --size double twice that. With --sql-out alone only the SQL company is written.
#include <charconv>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "tools/samplecompany/sample_company.h"
#include "tools/samplecompany/sample_sql_company.h"
#include "tools/samplecompany/sample_vardo_company.h"

namespace {

int Usage() {
  std::cerr << "usage: samplecompany [--vardo] --out FOLDER [--articles N] [--customers N] [--suppliers N]\n"
               "                     [--customer-invoices N] [--supplier-invoices N] [--product-code C]\n"
               "                     [--cloud-link ID] [--foxpro] [--cp850] [--year YYYY] [--program FOLDER]\n"
               "                     [--engine FOLDER] [--sql-out FOLDER [--size max|double]]\n";
  return 2;
}

bool ParseCount(std::string_view text, int& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  samplecompany::SampleOptions options;
  std::string out;
  std::string programFolder;
  std::string engineFolder = VARDO_ENGINE_FOLDER;
  bool vardo = false;
  std::string sqlOut;
  samplecompany::SqlSampleOptions sqlOptions;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--vardo") {
      vardo = true;
      continue;
    }
    if (arg == "--foxpro") {
      options.format = fixtures::DbfFormat::VisualFoxPro;
      continue;
    }
    if (arg == "--cp850") {
      options.codePage = platform::CodePage::Cp850;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const std::string_view value = argv[++i];
    bool ok = true;
    if (arg == "--out") {
      out = value;
    } else if (arg == "--sql-out") {
      sqlOut = value;
    } else if (arg == "--size") {
      if (value == "max") {
        sqlOptions = samplecompany::LargestSqlSample();
      } else if (value == "double") {
        sqlOptions = samplecompany::DoubledSqlSample();
      } else {
        ok = false;
      }
    } else if (arg == "--program") {
      programFolder = value;
    } else if (arg == "--engine") {
      engineFolder = value;
    } else if (arg == "--product-code") {
      options.productCode = value;
    } else if (arg == "--cloud-link") {
      options.cloudLinkId = value;
    } else if (arg == "--articles") {
      ok = ParseCount(value, options.articles);
    } else if (arg == "--customers") {
      ok = ParseCount(value, options.customers);
    } else if (arg == "--suppliers") {
      ok = ParseCount(value, options.suppliers);
    } else if (arg == "--customer-invoices") {
      ok = ParseCount(value, options.customerInvoices);
    } else if (arg == "--supplier-invoices") {
      ok = ParseCount(value, options.supplierInvoices);
    } else if (arg == "--year") {
      ok = ParseCount(value, options.bookingYear);
    } else {
      ok = false;
    }
    if (!ok) return Usage();
  }
  if ((out.empty() && sqlOut.empty()) || (vardo && out.empty())) return Usage();
  try {
    if (vardo) {
      samplecompany::VardoSampleOptions vardoOptions;
      vardoOptions.articles = options.articles;
      vardoOptions.customers = options.customers;
      vardoOptions.suppliers = options.suppliers;
      vardoOptions.customerInvoices = options.customerInvoices;
      vardoOptions.supplierInvoices = options.supplierInvoices;
      vardoOptions.format = options.format;
      vardoOptions.bookingYear = options.bookingYear;
      samplecompany::WriteSampleVardoCompany(out, vardoOptions);
      if (!programFolder.empty()) std::cout << samplecompany::WriteVardoProgram(
          programFolder, (std::filesystem::absolute(out) / ".." / "..").lexically_normal(), engineFolder);
      return 0;
    }
    if (!sqlOut.empty()) {
      sqlOptions.bookingYear = options.bookingYear;
      samplecompany::WriteSampleSqlCompany(sqlOut, programFolder.empty() ? sqlOut : programFolder, sqlOptions);
    }
    if (out.empty()) return 0;
    samplecompany::WriteSampleCompany(out, options);
    if (!programFolder.empty()) std::cout << samplecompany::WriteAdministrationProgram(
        programFolder, (std::filesystem::absolute(out) / "..").lexically_normal(), options.productCode);
  } catch (const std::exception& e) {
    std::cerr << "samplecompany: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
