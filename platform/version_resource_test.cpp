#include "platform/version_resource.h"

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"
#include "tools/fixtures/pe_version_writer.h"

namespace platform {
namespace {
using fixtures::MakePeFile;
using fixtures::PeVersionResource;

class VersionResource : public ::testing::Test {
 protected:
  std::optional<std::string> Read(const std::string& bytes, std::string_view name = "ProductVersion") {
    return ReadVersionString(tree_.Write("prog.exe", bytes), name);
  }
  fake::TempTree tree_;
};

TEST_F(VersionResource, ReadsTheEntryOfTheFirstTranslation) {
  PeVersionResource r;
  r.strings = {{"CompanyName", "Tessal Kolm ÅÄÖ"}, {"ProductVersion", "2017.1.0.1"}};
  EXPECT_EQ(Read(MakePeFile(r)), "2017.1.0.1");
  EXPECT_EQ(Read(MakePeFile(r), "productversion"), "2017.1.0.1");  // names without regard to case
  EXPECT_EQ(Read(MakePeFile(r), "CompanyName"), "Tessal Kolm ÅÄÖ");
  r.pe32Plus = true;
  EXPECT_EQ(Read(MakePeFile(r)), "2017.1.0.1");
}

TEST_F(VersionResource, AnEmptyTranslationTableNamesTable00000000) {
  PeVersionResource r;
  r.strings = {{"ProductVersion", "2016.9"}};
  r.translation = std::nullopt;
  EXPECT_EQ(Read(MakePeFile(r)), "2016.9");
}

TEST_F(VersionResource, AnswersNothingWithoutWhatWindowsNeeds) {
  auto withVersion = [] {
    PeVersionResource r;
    r.strings = {{"ProductVersion", "2018"}};
    return r;
  };
  auto noTranslationTable = withVersion();
  noTranslationTable.withTranslationTable = false;
  auto noFixedInfo = withVersion();
  noFixedInfo.withFixedInfo = false;
  auto otherLanguage = withVersion();
  otherLanguage.stringTableName = "040904B0";  // the translation names 041D04B0
  auto emptyText = withVersion();
  emptyText.strings = {{"ProductVersion", ""}};
  auto otherEntry = withVersion();
  otherEntry.strings = {{"FileVersion", "2018"}};

  EXPECT_EQ(Read(MakePeFile(withVersion())), "2018");
  for (const auto& r : {noTranslationTable, noFixedInfo, otherLanguage, emptyText, otherEntry}) {
    EXPECT_EQ(Read(MakePeFile(r)), std::nullopt);
  }
  EXPECT_EQ(Read(MakePeFile(std::nullopt)), std::nullopt);  // no resources
  EXPECT_EQ(Read("MZ not a program"), std::nullopt);
  EXPECT_EQ(Read(""), std::nullopt);
  EXPECT_EQ(ReadVersionString(tree_ / "missing.exe", "ProductVersion"), std::nullopt);
}

TEST_F(VersionResource, DamagedFilesAreReadSafely) {
  PeVersionResource r;
  r.strings = {{"ProductVersion", "2017.1"}};
  const std::string whole = MakePeFile(r);
  ASSERT_EQ(Read(whole), "2017.1");
  // Cut short anywhere: nothing read past the end, and no version.
  for (std::size_t size = 0; size < whole.size() - 4; size += 3) {
    EXPECT_EQ(Read(whole.substr(0, size)), std::nullopt) << size;
  }
  // Every byte of the headers and the resource tree set to 0xFF in turn:
  // offsets and lengths then point anywhere. The call must simply return.
  for (std::size_t at = 0; at < whole.size(); ++at) {
    std::string bad = whole;
    bad[at] = '\xFF';
    (void)Read(bad);
  }
}

}  // namespace
}  // namespace platform
