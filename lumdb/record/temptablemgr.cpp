#include "lumdb/record/temptablemgr.h"

#include <algorithm>

namespace lumdb {

void temptablemgr_c::add(std::shared_ptr<key_set_t> key_set) {
  if (!key_set || std::find(entries_.begin(), entries_.end(), key_set) != entries_.end()) return;
  entries_.push_back(std::move(key_set));
}

void temptablemgr_c::remove(const key_set_t* key_set) {
  std::erase_if(entries_, [&](const auto& entry) { return entry.get() == key_set; });
}

std::vector<std::shared_ptr<temptablemgr_c::key_set_t>> temptablemgr_c::key_set_list() const { return entries_; }

}  // namespace lumdb
