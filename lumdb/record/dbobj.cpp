#include "lumdb/record/dbobj.h"

#include <atomic>

namespace lumdb {
namespace {
std::atomic<datamodel_c*> g_defaultModel{nullptr};
}

datamodel_c* dbobj_c::datamodel() const { return parent_ ? parent_->datamodel() : default_datamodel(); }

session_c* dbobj_c::session() const { return parent_ ? parent_->session() : nullptr; }

bool set_default_datamodel(datamodel_c* model) {
  if (!model) {
    g_defaultModel.exchange(nullptr);
    return true;
  }
  datamodel_c* expected = nullptr;
  return g_defaultModel.compare_exchange_strong(expected, model);
}

datamodel_c* default_datamodel() { return g_defaultModel.load(); }

}  // namespace lumdb
