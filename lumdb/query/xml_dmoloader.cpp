#include "lumdb/query/xml_dmoloader.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/XMLPScanToken.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "platform/files.h"
#include "platform/log.h"
#include "platform/text.h"

namespace lumdb {

namespace xc = xercesc;

namespace {

std::mutex g_platform_mutex;
bool g_platform_ready = false;

// The parser library is set up once per process and never shut down: models
// may be loaded at any time, and its static state outlives every loader.
void init_xml_platform() {
  std::lock_guard lock(g_platform_mutex);
  if (g_platform_ready) return;
  xc::XMLPlatformUtils::Initialize();
  g_platform_ready = true;
}

enum element_t {
  el_table = 1,
  el_field,
  el_index,
  el_index_field,
  el_reference,
  el_reference_field,
  el_filter,
  el_sort_order,
  el_sort_field,
  el_autotag,
  el_table_alias,
  el_field_alias,
  el_autofetch,
  el_autofetch_field,
  el_field_values,
  el_field_value,
  el_viewdef,
};

const std::unordered_map<std::u16string_view, int>& element_codes() {
  static const std::unordered_map<std::u16string_view, int> codes = {
      {u"table", el_table},
      {u"field", el_field},
      {u"index", el_index},
      {u"index_field", el_index_field},
      {u"reference", el_reference},
      {u"reference_field", el_reference_field},
      {u"filter", el_filter},
      {u"sort_order", el_sort_order},
      {u"sort_field", el_sort_field},
      {u"autotag", el_autotag},
      {u"table_alias", el_table_alias},
      {u"field_alias", el_field_alias},
      {u"autofetch", el_autofetch},
      {u"autofetch_field", el_autofetch_field},
      {u"field_values", el_field_values},
      {u"field_value", el_field_value},
      {u"viewdef", el_viewdef},
  };
  return codes;
}

const std::unordered_map<std::string_view, int>& type_codes() {
  static const std::unordered_map<std::string_view, int> codes = {
      {"SQL_BIT", -7},       {"SQL_SMALLINT", 5},      {"SQL_INTEGER", 4},         {"SQL_BIGINT", -5},
      {"SQL_NUMERIC", 2},    {"SQL_DOUBLE", 8},        {"SQL_DATE", 9},            {"SQL_TIMESTAMP", 11},
      {"SQL_VARCHAR", 12},   {"SQL_WVARCHAR", -9},     {"SQL_LONGVARCHAR", -1},    {"SQL_WLONGVARCHAR", -10},
      {"SQL_LONGVARBINARY", -4}, {"SQL_GUID", -11},    {"SQL_BINARY", -2},         {"AUTO", 0},
  };
  return codes;
}

// "\v" (backslash, letter v) in a text marks a line break kept as 0x0B.
std::string with_line_marks(std::string text) {
  for (std::size_t at = text.find("\\v"); at != std::string::npos; at = text.find("\\v", at + 1)) {
    text.replace(at, 2, 1, '\x0B');
  }
  return text;
}

// Text the entities of a document may expand to, in characters: a data model
// has no need of more, and a few kilobytes of entities could otherwise ask for
// gigabytes (one entity expanded over and over, or entities nested).
constexpr XMLSize_t max_expanded_text = 4 * 1024 * 1024;

// A SAX2 reader without validation or namespaces that reads nothing outside the document.
std::unique_ptr<xc::SAX2XMLReader> make_reader() {
  std::unique_ptr<xc::SAX2XMLReader> reader(
      xc::XMLReaderFactory::createXMLReader(xc::XMLPlatformUtils::fgMemoryManager, nullptr));
  reader->setFeature(xc::XMLUni::fgSAX2CoreValidation, false);
  reader->setFeature(xc::XMLUni::fgSAX2CoreNameSpaces, false);
  reader->setFeature(xc::XMLUni::fgXercesLoadExternalDTD, false);
  reader->setFeature(xc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
  return reader;
}

// Reads the document type only (the prolog, before the first element): the
// longest replacement text of its internal entities.
class entity_text_c : public xc::DefaultHandler {
 public:
  void internalEntityDecl(const XMLCh* const, const XMLCh* const value) override {
    longest_ = std::max(longest_, xc::XMLString::stringLen(value));
  }
  XMLSize_t longest() const { return longest_; }

 private:
  XMLSize_t longest_ = 0;
};

// The entity expansions a document may make: each adds at most the longest
// replacement text declared (a nested one counts as an expansion of its own),
// so together they stay within max_expanded_text. The parser's own limit when
// the document declares no text that long.
unsigned int expansion_limit(const xc::InputSource& source) {
  entity_text_c entities;
  try {
    const std::unique_ptr<xc::SAX2XMLReader> reader = make_reader();
    reader->setDeclarationHandler(&entities);
    reader->setErrorHandler(&entities);
    xc::XMLPScanToken token;
    reader->parseFirst(source, token);  // the prolog: the document type and its declarations
  } catch (...) {
    // The parse proper says what is wrong with the document.
  }
  const XMLSize_t longest = std::max<XMLSize_t>(entities.longest(), 1);
  return static_cast<unsigned int>(std::min<XMLSize_t>(xc::SecurityManager::ENTITY_EXPANSION_LIMIT,
                                                       max_expanded_text / longest));
}

int action_code(const std::string& text) {
  if (text.empty() || text == "restrict") return action_restrict;
  if (text == "cascade") return action_cascade;
  if (text == "setnull") return action_set_null;
  if (text == "setdefault") return action_set_default;
  throw std::runtime_error("okänd referensåtgärd \"" + text + "\"");
}

}  // namespace

class xml_dmoloader_c::handler_c : public xc::DefaultHandler {
 public:
  explicit handler_c(xml_dmoloader_c& loader) : loader_(loader) {
    xc::XMLTransService::Codes result;
    utf8_.reset(xc::XMLPlatformUtils::fgTransService->makeNewTranscoderFor(xc::XMLRecognizer::UTF_8, result, 16 * 1024));
    if (!utf8_) throw std::runtime_error("ingen UTF-8-omvandlare");
  }

  void setDocumentLocator(const xc::Locator* const locator) override { locator_ = locator; }

  void characters(const XMLCh* const chars, const XMLSize_t length) override { buffer_.append(chars, length); }

  void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname,
                    const xc::Attributes& attributes) override {
    const auto code = element_codes().find(std::u16string_view(qname));
    if (code == element_codes().end()) return;
    buffer_.clear();
    attributes_ = &attributes;
    element_ = utf8(qname);
    try {
      start(code->second);
    } catch (...) {
      failed_at_ = position();
      throw;
    }
    attributes_ = nullptr;
  }

  void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname) override {
    const auto code = element_codes().find(std::u16string_view(qname));
    if (code == element_codes().end()) return;
    element_ = utf8(qname);
    try {
      end(code->second);
    } catch (...) {
      failed_at_ = "</" + element_ + ">" + (locator_ ? " rad " + std::to_string(locator_->getLineNumber()) : "");
      throw;
    }
  }

  // Where an element failed ("rad N, <element>"); empty when none did.
  const std::string& failed_at() const { return failed_at_; }

 private:
  std::string position() const {
    std::string text = locator_ ? "rad " + std::to_string(locator_->getLineNumber()) : std::string();
    if (!element_.empty()) text += (text.empty() ? "<" : ", <") + element_ + ">";
    return text;
  }

  struct transcoder_deleter {
    void operator()(xc::XMLTranscoder* transcoder) const { delete transcoder; }
  };

  std::string utf8(const XMLCh* text, std::size_t length) const {
    if (length == 0) return {};
    xc::TranscodeToStr converted(text, length, utf8_.get());
    return std::string(reinterpret_cast<const char*>(converted.str()), converted.length());
  }
  std::string utf8(const XMLCh* text) const { return utf8(text, std::char_traits<char16_t>::length(text)); }

  // ---- attributes ----

  const XMLCh* raw(const char16_t* name) const { return attributes_->getValue(name); }
  bool present(const char16_t* name) const { return raw(name) != nullptr; }

  std::string text(const char16_t* name) const {
    const XMLCh* value = raw(name);
    return value ? utf8(value) : std::string();
  }

  std::optional<std::string> optional_text(const char16_t* name) const {
    const XMLCh* value = raw(name);
    if (!value) return std::nullopt;
    return utf8(value);
  }

  // A decimal number with an optional sign and nothing else.
  int number(const char16_t* name, std::optional<int> fallback) const {
    const XMLCh* value = raw(name);
    if (!value) {
      if (fallback) return *fallback;
      throw std::runtime_error("attributet " + utf8(name) + " saknas");
    }
    std::string digits = utf8(value);
    std::string_view view = digits;
    const bool plus = !view.empty() && view.front() == '+';
    if (plus) view.remove_prefix(1);
    int result = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), result);
    const bool sign_ok = !plus || (!view.empty() && view.front() >= '0' && view.front() <= '9');
    if (view.empty() || !sign_ok || error != std::errc() || end != view.data() + view.size()) {
      throw std::runtime_error("attributet " + utf8(name) + " är inget tal: \"" + digits + "\"");
    }
    return result;
  }
  int required_number(const char16_t* name) const { return number(name, std::nullopt); }

  bool boolean(const char16_t* name, bool fallback) const {
    const XMLCh* value = raw(name);
    if (!value) return fallback;
    return std::u16string_view(value) == u"true";
  }

  // ---- elements ----

  static void check(bool done) {
    if (!done) throw std::runtime_error("");
  }

  // Field names of the table being read, upper-cased.
  int stored_field(const std::string& name) const {
    const auto found = stored_names_.find(platform::ToUpper(name));
    return found == stored_names_.end() ? no_id : found->second;
  }
  int calculated_field(const std::string& name) const {
    const auto found = calculated_names_.find(platform::ToUpper(name));
    return found == calculated_names_.end() ? no_id : found->second;
  }

  void start(int code) {
    switch (code) {
      case el_table: return start_table();
      case el_field: return start_field();
      case el_index:
        check(loader_.begin_index(text(u"name"), boolean(u"primary_key", false), boolean(u"unique", false),
                                  boolean(u"clustered", false), number(u"filter", 0)));
        return;
      case el_index_field: return start_index_field();
      case el_reference: return start_reference();
      case el_reference_field: check(loader_.add_reference_field(text(u"name"))); return;
      case el_filter:
        filter_id_ = required_number(u"id");
        filter_text_ = with_line_marks(text(u"text"));
        filter_cond_ = text(u"cond");
        return;
      case el_sort_order:
        sort_id_ = required_number(u"id");
        sort_text_ = with_line_marks(text(u"text"));
        sort_cond_ = text(u"cond");
        sort_fields_.clear();
        return;
      case el_sort_field: {
        const std::string name = text(u"name");
        const int id = stored_field(name);
        if (id == no_id) throw std::runtime_error("okänt sorteringsfält " + name);
        sort_fields_.push_back(id);
        return;
      }
      case el_autotag: {
        const int id = required_number(u"id");
        const int filter = number(u"filter", 0);
        const int sort_order = required_number(u"sort_order");
        check(loader_.add_autotag(id, sort_order, filter, with_line_marks(text(u"text")), text(u"alias")));
        return;
      }
      case el_table_alias: {
        const int id = required_number(u"id");
        const std::string name = text(u"name");
        const int filter = number(u"filter", 0);
        check(loader_.begin_table_alias(name, id, text(u"table"), filter));
        check(loader_.set_inherit_search(boolean(u"inherit_search", true)));
        check(loader_.set_alias_extendable(boolean(u"extendable", false)));
        return;
      }
      case el_field_alias: {
        check(loader_.add_field_alias(text(u"field"), with_line_marks(text(u"text")), text(u"alias"), text(u"cond")));
        const auto search = optional_text(u"search");
        if (search && !platform::EqualsNoCase(*search, "parent")) check(loader_.set_field_alias_search(*search == "true"));
        return;
      }
      case el_autofetch: autofetch_open_ = true; return;
      case el_autofetch_field: return start_autofetch_field();
      case el_field_values: {
        const std::string base = text(u"base");
        if (base.empty()) {
          check(loader_.set_show_value(boolean(u"show_value", false)));
          return;
        }
        const int id = stored_field(base);
        if (id == no_id) throw std::runtime_error("okänt basfält " + base);
        check(loader_.set_values_base(id));
        return;
      }
      case el_field_value:
        check(loader_.add_field_value(text(u"base_value"), text(u"value"), text(u"cond")));
        return;
      case el_viewdef: return;
    }
  }

  void end(int code) {
    switch (code) {
      case el_table:
        check(loader_.end_table());
        stored_names_.clear();
        calculated_names_.clear();
        return;
      case el_index: check(loader_.end_index(false)); return;
      case el_reference: check(loader_.end_reference()); return;
      case el_filter:
        check(loader_.add_filter(filter_id_, platform::Trim(utf8(buffer_.data(), buffer_.size())), filter_text_,
                                 filter_cond_));
        filter_id_ = -1;
        filter_text_.clear();
        return;
      case el_sort_order:
        check(loader_.add_sort_order(sort_id_, sort_fields_, sort_text_, sort_cond_));
        sort_id_ = 0;
        sort_text_.clear();
        return;
      case el_table_alias: check(loader_.end_table_alias()); return;
      case el_autofetch: autofetch_open_ = false; return;
      case el_viewdef:
        check(loader_.set_view_definition(platform::Trim(utf8(buffer_.data(), buffer_.size()))));
        return;
      default: return;
    }
  }

  void start_table() {
    const int id = required_number(u"id");
    check(loader_.begin_table(id, text(u"name")));
    check(loader_.set_target(text(u"target")));
    check(loader_.set_text(text(u"text")));
    check(loader_.set_alias(text(u"alias")));
    check(loader_.set_cond(text(u"cond")));
    if (boolean(u"extendable", false)) check(loader_.set_extendable(true));
    const std::string conflict = present(u"conflict") ? text(u"conflict") : std::string("record");
    if (!platform::EqualsNoCase(conflict, "record") && !platform::EqualsNoCase(conflict, "field")) {
      throw std::runtime_error("okänt conflict-värde \"" + conflict + "\"");
    }
    check(loader_.set_conflict_mode(platform::EqualsNoCase(conflict, "field")));
    const std::string backup = text(u"backup_action");
    int action = backup_default;
    if (platform::EqualsNoCase(backup, "maintarget")) action = backup_maintarget;
    if (platform::EqualsNoCase(backup, "never")) action = backup_never;
    check(loader_.set_backup_action(action));
  }

  void start_field() {
    const int number_in_table = required_number(u"id");
    const std::string name = text(u"name");
    const auto type = type_codes().find(text(u"type"));
    const int sql_type = type == type_codes().end() ? sql_type_auto : type->second;
    const int length = number(u"len", 0);
    const int decimals = number(u"dec", 0);
    const bool soft = boolean(u"soft", false);
    const auto default_text = optional_text(u"default");
    const bool nullable = boolean(u"null", true);
    const int width = number(u"wid", 0);
    const bool autots = boolean(u"autots", false);
    const std::string expression = text(u"expr");
    const std::string calc = present(u"calc") ? text(u"calc") : std::string(expression.empty() ? "app" : "expr");
    const auto search = present(u"search") ? std::optional<bool>(boolean(u"search", false)) : std::nullopt;
    const bool case_sensitive = boolean(u"case_sensitive", false);
    const std::string cond = text(u"cond");
    const std::string join_path = text(u"joinpath");
    const int ui_hint = number(u"uihint", -1);
    const std::string field_text = with_line_marks(text(u"text"));
    const std::string alias = text(u"alias");
    const auto conflict_group = present(u"conflict_group") ? std::optional<int>(number(u"conflict_group", 0))
                                                           : std::nullopt;
    const bool format_given = present(u"noseparator") || present(u"nozero") || present(u"nozerodec") ||
                              present(u"variabledec");

    if (number_in_table < 0 || number_in_table > max_field_number) {
      throw std::runtime_error("fältnummer utanför 0..65535: " + std::to_string(number_in_table));
    }
    if (!soft && !expression.empty() && sql_type != sql_type_auto) {
      throw std::runtime_error("ett lagrat fält med expr måste ha typen AUTO");
    }
    int kind = calc_stored;
    if (soft) {
      if (platform::EqualsNoCase(calc, "left_join")) {
        kind = calc_left_join;
        if (join_path.empty() || expression.empty()) throw std::runtime_error("left_join utan joinpath och expr");
      } else if (platform::EqualsNoCase(calc, "expr")) {
        kind = calc_expr;
        if (expression.empty() || !join_path.empty()) throw std::runtime_error("expr utan expr eller med joinpath");
      } else {
        kind = platform::EqualsNoCase(calc, "value") ? calc_value : calc_app;
      }
    }
    const int table_id = loader_.open_table_id();
    if (table_id == no_id) throw std::runtime_error("fält utanför tabell");
    const int id = make_field_id(table_id, number_in_table);
    check(loader_.add_field(id, name, sql_type, length, decimals, kind));
    if (default_text) check(loader_.set_default(*default_text));
    check(loader_.set_nullable(nullable));
    check(loader_.set_field_alias(alias));
    check(loader_.set_field_text(field_text));
    check(loader_.set_field_cond(cond));
    check(loader_.set_width(width));
    check(loader_.set_auto_timestamp(autots));
    check(loader_.set_case_sensitive(case_sensitive));
    check(loader_.set_ui_hint(ui_hint));
    if (search) {
      check(loader_.set_search(*search));
    } else if (!field_text.empty() && !alias.empty() && !soft) {
      check(loader_.set_search(true));
    }
    if (format_given) {
      check(loader_.set_number_format(boolean(u"noseparator", false), boolean(u"nozero", false),
                                      boolean(u"nozerodec", false), boolean(u"variabledec", false)));
    }
    (soft ? calculated_names_ : stored_names_)[platform::ToUpper(name)] = id;
    if (!expression.empty()) {
      check(loader_.set_expression(expression));
      if (kind == calc_left_join) check(loader_.set_join_path_text(join_path));
    }
    if (conflict_group) {
      if (*conflict_group < 1) throw std::runtime_error("conflict_group måste vara minst 1");
      check(loader_.set_conflict_group(*conflict_group));
    } else if (loader_.conflict_mode() == 1) {
      check(loader_.set_conflict_group(-number_in_table));
    }
  }

  void start_index_field() {
    const std::string name = text(u"name");
    const int id = stored_field(name);
    if (id == no_id) {
      // Kept out of the index, as the desktop program does; said in the log
      // since the index then covers less than the file wrote.
      WriteLog(loader_.path_ + ", " + position() + ": fältet " + name + " finns inte i tabellen och utelämnas ur indexet");
      return;
    }
    loader_.add_index_field(id, boolean(u"descending", false), boolean(u"include", false));
    if (boolean(u"auto_increment", false)) check(loader_.set_auto_increment_field(id));
  }

  void start_reference() {
    const std::string type = text(u"type");
    if (!type.empty() && type != "hard" && type != "soft") throw std::runtime_error("okänd referenstyp \"" + type + "\"");
    const int update = action_code(text(u"update"));
    const int remove = action_code(text(u"delete"));
    check(loader_.begin_reference(type == "soft", text(u"table"), text(u"index"), remove, update));
  }

  void start_autofetch_field() {
    if (!autofetch_open_) throw std::runtime_error("autofetch_field utanför autofetch");
    const std::string name = text(u"field");
    int id = stored_field(name);
    if (id == no_id) id = calculated_field(name);
    if (id == no_id) throw std::runtime_error("okänt fält " + name);
    check(loader_.add_autofetch_field(id, boolean(u"default", true), number(u"width", 0), number(u"position", 0)));
  }

  xml_dmoloader_c& loader_;
  std::unique_ptr<xc::XMLTranscoder, transcoder_deleter> utf8_;
  const xc::Locator* locator_ = nullptr;
  const xc::Attributes* attributes_ = nullptr;
  std::string element_;
  std::string failed_at_;
  std::u16string buffer_;  // character data of the element being read
  int filter_id_ = -1;
  std::string filter_text_;
  std::string filter_cond_;
  int sort_id_ = 0;
  std::string sort_text_;
  std::string sort_cond_;
  std::vector<int> sort_fields_;
  std::unordered_map<std::string, int> stored_names_;
  std::unordered_map<std::string, int> calculated_names_;
  bool autofetch_open_ = false;
};

xml_dmoloader_c::xml_dmoloader_c(std::string path, datamodel_c& model, bool unresolved)
    : datamodel_loader_c(model, unresolved), path_(std::move(path)) {
  set_source_name(path_);
}

xml_dmoloader_c::~xml_dmoloader_c() = default;

bool xml_dmoloader_c::parse() {
  std::string file_bytes;
  if (document_.empty()) {
    std::string error;
    auto bytes = platform::ReadWholeFile(path_, &error);
    if (!bytes) {
      set_failure("filen kunde inte läsas (" + error + ")");
      return false;
    }
    file_bytes = std::move(*bytes);
  }
  const std::string& bytes = document_.empty() ? file_bytes : document_;

  std::unique_ptr<handler_c> handler;
  try {
    init_xml_platform();
    handler = std::make_unique<handler_c>(*this);
    // Nothing outside the document is read, and entity expansion is bounded.
    const std::unique_ptr<xc::SAX2XMLReader> reader = make_reader();
    const xc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), "internal",
                                       false);
    xc::SecurityManager security;
    security.setEntityExpansionLimit(expansion_limit(source));
    reader->setProperty(xc::XMLUni::fgXercesSecurityManager, &security);
    reader->setContentHandler(handler.get());
    reader->setErrorHandler(handler.get());
    reader->parse(source);
    return true;
  } catch (const xc::SAXParseException& e) {
    set_failure("rad " + std::to_string(e.getLineNumber()) + ": felaktig XML: " +
                platform::Utf16ToUtf8(std::u16string_view(e.getMessage())));
  } catch (const xc::SAXException& e) {
    set_failure(platform::Utf16ToUtf8(std::u16string_view(e.getMessage())));
  } catch (const xc::XMLException& e) {
    set_failure(platform::Utf16ToUtf8(std::u16string_view(e.getMessage())));
  } catch (const xc::OutOfMemoryException&) {
    set_failure("slut på minne");
  } catch (const std::exception& e) {
    std::string text = handler ? handler->failed_at() : std::string();
    for (const std::string& part : {std::string(e.what()), failure()}) {
      if (!part.empty()) text += (text.empty() ? "" : ": ") + part;
    }
    set_failure(text);
  } catch (...) {
    set_failure("okänt fel");
  }
  return false;
}

}  // namespace lumdb
