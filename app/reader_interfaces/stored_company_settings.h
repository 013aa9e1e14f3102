#pragma once
// What every company settings reader shares: the settings are read once, when
// the reader is made, into one record whose values the getters hand out, so
// they still answer after Close (the settings are uploaded after the check has
// closed the reader).
#include <string>
#include <string_view>

#include "app/reader_interfaces/reader_fields.h"
#include "app/reader_interfaces/source_readers.h"

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

// The company form the cloud knows (0 unknown, 1 limited company, 2 sole trader,
// 3 economic association, 5 trading partnership, 6 limited partnership).
// `middle` is the number the organisation number's third and fourth characters
// make (the birth month of a sole trader, above 19 for a legal person; 0 when
// they make none), `group` its first character, and words of the name tell apart
// the forms that share a group.
int CompanyFormOf(int middle, char group, std::string_view name);
