#include "sources/sqladmin/sqladmin_readers.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Until the SQL back-end exists, an SQL company's SIE files must read as unavailable
// and empty, never as data, so the job reports them and sends nothing.
TEST(SqlAdminReaders, AnswerNotAvailableAndReadAsEmpty) {
  std::unique_ptr<I_QZ_SIE> sie = std::make_unique<CSqlAdminSie>("/company");
  EXPECT_FALSE(sie->IsAvailable());
  EXPECT_TRUE(sie->CreateSieFiles().empty());
  EXPECT_EQ(sie->GetFilePath(), "");
}

}  // namespace
