#pragma once
// What every company settings reader shares: the settings are read once, when
// the reader is made, into one record whose values the getters hand out, so
// they still answer after Close (the settings are uploaded after the check has
// closed the reader).
#include <string>

#include "app/sources/reader_fields.h"
#include "app/sources/source_readers.h"

#define QZ_SETTINGS_FIELD(type, getter, field, setter) type field{};
struct CompanySettingsValues {
  QZ_COMPANY_FIELDS(QZ_SETTINGS_FIELD)
};
#undef QZ_SETTINGS_FIELD

class StoredCompanySettings : public I_QZ_Company {
 public:
#define QZ_STORED_GETTER(type, getter, field, setter) \
  type getter() override { return settings_.field; }
  QZ_COMPANY_FIELDS(QZ_STORED_GETTER)
#undef QZ_STORED_GETTER

 protected:
  CompanySettingsValues settings_;
};
