#pragma once
// The key sets of the scrollable recordsets: temporary tables that each hold
// rows of one data-model table. The manager keeps them, in the order they
// were made, for as long as a recordset may attach one.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumdb {

class temptablemgr_c {
 public:
  struct key_set_t {
    std::int32_t table_id = 0;                     // the data-model table whose rows it holds
    std::string table_name;                         // the temporary table
    std::vector<std::int32_t> field_ids;            // the fields it holds; -1 matches none
    std::vector<std::int32_t> timestamp_field_ids;  // its auto-time-stamp fields
  };

  // Keeps a key set; the same one twice is kept once.
  void add(std::shared_ptr<key_set_t> key_set);
  // Forgets a key set; the recordsets holding it keep their reference.
  void remove(const key_set_t* key_set);
  std::vector<std::shared_ptr<key_set_t>> key_set_list() const;

 private:
  std::vector<std::shared_ptr<key_set_t>> entries_;
};

}  // namespace lumdb
