#include "lumdb/query/filter_parser.h"

#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/text.h"

namespace lumdb {
namespace {

// A text matched as it stands by LIKE ... ESCAPE '\': "\", "%", "_" and "["
// (which opens a character class on SQL Server) each behind a "\".
std::string like_literal(std::string_view text) {
  std::string pattern;
  for (char c : text) {
    if (c == '\\' || c == '%' || c == '_' || c == '[') pattern.push_back('\\');
    pattern.push_back(c);
  }
  return pattern;
}

// Bounds that keep the recursion and the tree far from the stack's limit
// whatever the text: the named filters of a data model are a few terms long.
constexpr int max_depth = 200;           // nested parentheses
constexpr int max_comparisons = 1000;    // comparisons in one text
constexpr int max_operators = 256;       // arithmetic operators in one text
constexpr std::size_t max_copies = 4096; // nodes copied while combining terms

enum token_code : int {
  tk_invalid = 0,
  tk_identifier = 1,
  tk_not = 2,
  tk_and = 3,
  tk_or = 4,
  tk_lparen = 5,
  tk_rparen = 6,
  tk_comma = 7,
  tk_bool = 8,
  tk_quoted = 9,
  tk_number = 10,
  tk_null = 11,
  tk_plus = 12,
  tk_minus = 13,
  tk_times = 14,
  tk_divide = 15,
  tk_equal = 16,
  tk_greater = 17,
  tk_less = 18,
  tk_greater_equal = 19,
  tk_less_equal = 20,
  tk_not_equal = 21,
  tk_like = 22,
  tk_isnull = 25,
  tk_end = 26,
};

[[noreturn]] void fail(const std::string& text) { throw std::runtime_error(text); }

bool is_space(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; }
bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }
// Bytes of a multi-byte UTF-8 character count as letters: field names may
// hold Swedish letters.
bool is_letter(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_' || static_cast<unsigned char>(ch) >= 0x80;
}

bool same_keyword(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char ch = word[i];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch != keyword[i]) return false;
  }
  return true;
}

bool is_arithmetic(int token) { return token >= tk_plus && token <= tk_divide; }

// The constant of a literal against field `f`, added to `row` under f's id
// without path, typed as comparisons with that field take it.
void add_literal_constant(field_set_c& row, const field_desc_t& f, const std::string& text) {
  const int id = f.id;
  int field_type = f.sql_type;
  if (field_type == -1) field_type = 12;
  if (field_type == -10) field_type = -9;
  if (text == "NULL") {
    if (!row.add_field(id, nullptr, field_type, f.length, f.decimals)) fail("Setting field to NULL failed: " + text);
    return;
  }
  int type = field_type;
  int size = 0;
  int decimals = 0;
  switch (field_type) {
    case -7: case -5: case 8: case 9: case 11: case -11: break;
    case 5: case 4: type = 4; break;
    case 12: case -9:
      type = -9;
      size = std::max(f.length, static_cast<int>(platform::Utf8ToUtf16(text).size()));
      break;
    case 2: {
      const std::size_t point = text.find('.');
      size = static_cast<int>(text.size() - (point == std::string::npos ? 0 : 1));
      decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
      break;
    }
    default:
      fail("Invalid field type for " + f.name);
  }
  // The text must read as the field's own type before it becomes the constant.
  field_set_c scratch;
  bool parsed = false;
  try {
    // A text constant may be longer than the column: it is checked at its own length.
    const int scratch_size = type == -9 ? size : f.length;
    parsed = scratch.add_field(id, nullptr, field_type, scratch_size, f.decimals) && scratch.parse_string(id, text) &&
             row.add_field(id, nullptr, type, size, decimals) && row.parse_string(id, text);
  } catch (const std::exception&) {
    parsed = false;
  }
  if (!parsed) fail("Invalid filter value: " + text);
}

// The parser state for one text.
class filter_c {
 public:
  filter_c(const table_desc_t& table, std::string_view text) : table_(table), text_(text) {}

  filter_node_t parse() {
    next_token();
    if (token_ == tk_end) return {};
    filter_copy_limit limit(max_copies);
    try {
      filter_node_t result = parse_expression();
      // A stray ")" would otherwise end the filter and drop what follows it.
      if (token_ != tk_end) fail("Filter parse error.");
      return result;
    } catch (const std::length_error&) {
      fail("Filter too complex.");
    }
  }

 private:
  // One side of a comparison: an expression, a literal, or nothing.
  struct side_t {
    std::optional<colexpr_c> expr;
    std::optional<std::string> literal;
  };

  char read() { return pos_ < text_.size() ? text_[pos_++] : '\0'; }
  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

  void next_token() { token_ = scan(); }

  int scan() {
    token_text_.clear();
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return tk_end;
    const char ch = read();
    token_text_ += ch;
    switch (ch) {
      case '(': return tk_lparen;
      case ')': return tk_rparen;
      case '=': return tk_equal;
      case ',': return tk_comma;
      case '+': return tk_plus;
      case '*': return tk_times;
      case '/': return tk_divide;
      case '\'': return scan_quoted();
      case '-':
        return is_digit(peek()) ? scan_number() : tk_minus;
      case '<':
        if (peek() == '=' || peek() == '>') {
          token_text_ += read();
          return token_text_[1] == '=' ? tk_less_equal : tk_not_equal;
        }
        return tk_less;
      case '>':
        if (peek() == '=') {
          token_text_ += read();
          return tk_greater_equal;
        }
        return tk_greater;
      default:
        break;
    }
    if (is_digit(ch)) return scan_number();
    if (is_letter(ch)) return scan_word();
    return tk_invalid;
  }

  // The token text keeps both quotes; a doubled quote inside stands for one.
  int scan_quoted() {
    while (pos_ < text_.size()) {
      const char ch = read();
      token_text_ += ch;
      if (ch == '\'') {
        if (peek() != '\'') return tk_quoted;
        ++pos_;
      }
    }
    return tk_invalid;
  }

  int scan_number() {
    int points = 0;
    while (is_digit(peek()) || peek() == '.') {
      if (peek() == '.') ++points;
      token_text_ += read();
    }
    return points > 1 ? tk_invalid : tk_number;
  }

  int scan_word() {
    while (is_letter(peek()) || is_digit(peek())) token_text_ += read();
    static constexpr std::pair<std::string_view, int> keywords[] = {
        {"AND", tk_and},   {"OR", tk_or},      {"NOT", tk_not},   {"LIKE", tk_like},       {"TRUE", tk_bool},
        {"FALSE", tk_bool}, {"NULL", tk_null}, {"ISNULL", tk_isnull},
    };
    for (const auto& [word, code] : keywords) {
      if (same_keyword(token_text_, word)) return code;
    }
    if (!same_keyword(token_text_, "IS")) return tk_identifier;
    // IS NOT is "<>"; a lone IS is "=", and what follows it is read next.
    std::size_t next = pos_;
    while (next < text_.size() && is_space(text_[next])) ++next;
    std::size_t end = next;
    while (end < text_.size() && (is_letter(text_[end]) || is_digit(text_[end]))) ++end;
    if (end > next && same_keyword(text_.substr(next, end - next), "NOT")) {
      pos_ = end;
      token_text_ += " NOT";
      return tk_not_equal;
    }
    return tk_equal;
  }

  void expect(int token) {
    if (token_ == tk_lparen) {
      if (++depth_ > max_depth) fail("Filter nested too deeply.");
    } else if (token_ == tk_rparen) {
      --depth_;
    }
    if (depth_ < 0) fail("Invalid expression, check parenthesis.");
    if (token_ != token) fail("Filter parse error.");
    next_token();
  }

  bool parse_not_prefix() {
    bool odd = false;
    while (token_ == tk_not) {
      next_token();
      odd = !odd;
    }
    return odd;
  }

  // AND and OR bind alike and group to the right: A AND B OR C is
  // A AND (B OR C). The terms are read in a loop and combined from the right.
  filter_node_t parse_expression() {
    std::vector<filter_node_t> terms;
    std::vector<int> links;
    for (;;) {
      const bool negate = parse_not_prefix();
      filter_node_t term = parse_term();
      terms.push_back(negate ? filter_not(term) : std::move(term));
      if (token_ == tk_and || token_ == tk_or) {
        links.push_back(token_);
        expect(token_);
        continue;
      }
      if (token_ == tk_rparen || token_ == tk_end) break;
      fail("Invalid operation");
    }
    filter_node_t result = std::move(terms.back());
    for (std::size_t i = links.size(); i-- > 0;) {
      if (links[i] == tk_and) {
        terms[i].add_and(std::move(result));
      } else {
        terms[i].add_or(std::move(result));
      }
      result = std::move(terms[i]);
    }
    return result;
  }

  filter_node_t parse_term() {
    const bool negate = parse_not_prefix();
    if (token_ == tk_lparen) {
      expect(tk_lparen);
      filter_node_t group = parse_expression();
      if (negate) group = filter_not(group);
      expect(tk_rparen);
      return group;
    }
    filter_node_t comparison = parse_comparison();
    return negate ? filter_not(comparison) : comparison;
  }

  int parse_operator() {
    int op = fo_none;
    switch (token_) {
      case tk_equal: op = fo_equal; break;
      case tk_greater: op = fo_greater; break;
      case tk_less: op = fo_less; break;
      case tk_greater_equal: op = fo_greater_equal; break;
      case tk_less_equal: op = fo_less_equal; break;
      case tk_not_equal: op = fo_not_equal; break;
      case tk_like: op = fo_like; break;
      default: fail("Invalid operation.");
    }
    expect(token_);
    return op;
  }

  // The literal of the current token, consumed, when it is one.
  std::optional<std::string> take_literal(bool allow_null) {
    std::string literal;
    if (token_ == tk_bool || token_ == tk_number) {
      literal = token_text_;
    } else if (token_ == tk_quoted) {
      literal = token_text_.substr(1, token_text_.size() - 2);
    } else if (token_ == tk_null && allow_null) {
      literal = "NULL";
    } else {
      return std::nullopt;
    }
    next_token();
    return literal;
  }

  side_t parse_side() {
    side_t side;
    if (token_ == tk_identifier || token_ == tk_isnull) {
      side.expr = parse_value_expression();
    } else {
      side.literal = take_literal(true);
    }
    return side;
  }

  filter_node_t parse_comparison() {
    if (++comparisons_ > max_comparisons) fail("Filter too complex.");
    side_t left = parse_side();
    int op = parse_operator();
    const bool in_parentheses = token_ == tk_lparen;
    if (in_parentheses) expect(tk_lparen);
    side_t right = parse_side();
    if (in_parentheses) expect(tk_rparen);

    if (left.expr && right.expr) {
      filter_node_t term;
      term.op = op;
      term.left = std::move(*left.expr);
      term.right = std::move(*right.expr);
      return term;
    }
    if (!left.expr && !right.expr) fail("Invalid expression");
    // A comparison with nothing on one side is incomplete, not a NULL test.
    if (left.expr ? !right.literal : !left.literal) fail("Filter parse error.");
    if (left.expr) return make_comparison(*left.expr, *right.literal, op);
    // 'a_c' LIKE X compares the text as it stands: as the pattern of X LIKE ... it
    // must not have wildcards.
    if (op == fo_like) return make_comparison(*right.expr, like_literal(*left.literal), op);
    // 5 < X is X > 5.
    if (op == fo_less) op = fo_greater;
    else if (op == fo_greater) op = fo_less;
    else if (op == fo_less_equal) op = fo_greater_equal;
    else if (op == fo_greater_equal) op = fo_less_equal;
    return make_comparison(*right.expr, *left.literal, op);
  }

  const field_desc_t& field_of(const colexpr_c& x) const {
    const datamodel_c* model = x.datamodel();
    const field_desc_t* f = model ? model->field_by_id(x.field_id()) : nullptr;
    if (!f) fail("Invalid expression");
    return *f;
  }

  // The term compares x itself (ISNULL and arithmetic kept) with the literal
  // typed by x's field.
  filter_node_t make_comparison(const colexpr_c& x, const std::string& literal, int op) {
    filter_node_t term;
    term.op = op;
    add_literal_constant(term.values, field_of(x), literal);
    term.left = x;
    return term;
  }

  colexpr_c parse_value_expression() {
    colexpr_c first = token_ == tk_isnull ? parse_isnull() : parse_operand();
    if (!is_arithmetic(token_)) return first;
    if (++operators_ > max_operators) fail("Filter too complex.");
    const int op = token_;
    next_token();
    const colexpr_c rest = parse_value_expression();
    return make_arithmetic(op, first, rest);
  }

  // One part of an operand: a field or a constant.
  struct operand_part_t {
    std::optional<int> field;
    std::optional<std::string> literal;
  };

  operand_part_t parse_operand_part() {
    operand_part_t part;
    if (token_ == tk_identifier) {
      part.field = parse_field();
    } else {
      part.literal = take_literal(false);
      if (!part.literal) fail("Invalid filter expression");
    }
    return part;
  }

  // A field, or a field and a constant or a second field joined by one
  // arithmetic operator.
  colexpr_c parse_operand() {
    const operand_part_t first = parse_operand_part();
    if (!is_arithmetic(token_)) {
      if (!first.field) fail("Invalid filter expression");
      return colexpr_c(*first.field);
    }
    if (++operators_ > max_operators) fail("Filter too complex.");
    const int op = token_;
    next_token();
    const operand_part_t second = parse_operand_part();
    if (first.field && second.field) return make_arithmetic(op, colexpr_c(*first.field), colexpr_c(*second.field));
    if (first.literal && second.literal) fail("Invalid filter expression");
    if (first.field) return make_literal_expr(*first.field, op, *second.literal, false);
    return make_literal_expr(*second.field, op, *first.literal, true);
  }

  // The field f with the constant c in the order written: f op c, or c op f.
  // Arithmetic renders as one flat chain, so even c + f stays as written: in
  // A / B - 10 + C, swapping 10 and C would change the value.
  colexpr_c make_literal_expr(int field_id, int op, const std::string& literal, bool constant_first) {
    const field_desc_t* f = table_.field_by_id(field_id);
    const int column_kind = 2 + 2 * (op - tk_plus);  // 2 +, 4 -, 6 *, 8 /
    if (constant_first) {
      colexpr_c constant(field_id, ck_as_is);
      add_literal_constant(constant.values(), *f, literal);
      constant.set_continuation(colexpr_c(field_id, column_kind));
      return constant;
    }
    colexpr_c column(field_id);
    colexpr_c constant(field_id, column_kind + 1);
    add_literal_constant(constant.values(), *f, literal);
    column.set_continuation(constant);
    return column;
  }

  static colexpr_c make_arithmetic(int token, const colexpr_c& left, const colexpr_c& right) {
    if (!is_arithmetic(token)) fail("Invalid operation");
    return make_binary_expr(2 + 2 * (token - tk_plus), left, right);
  }

  int parse_field() {
    if (token_ != tk_identifier) fail("Filter parse error.");
    const std::string name = token_text_;
    next_token();
    const int id = table_.field_id_by_name(name);
    if (id == -1 || !table_.field_by_id(id)) fail("Invalid field: " + name);
    return id;
  }

  colexpr_c parse_isnull() {
    next_token();
    expect(tk_lparen);
    const colexpr_c x = parse_value_expression();
    if (token_ != tk_comma) fail("Filter parse error.");
    next_token();
    const std::optional<std::string> replacement = take_literal(false);
    if (!replacement) fail("Filter parse error.");
    colexpr_c result = make_isnull_expr(x, L"");
    bool parsed = false;
    try {
      parsed = result.values().parse_string(x.field_id(), *replacement);
    } catch (const std::exception&) {
      parsed = false;
    }
    if (!parsed) fail("Invalid value for ISNULL");
    expect(tk_rparen);
    return result;
  }

  const table_desc_t& table_;
  std::string_view text_;
  std::size_t pos_ = 0;
  std::string token_text_;
  int token_ = tk_invalid;
  int depth_ = 0;
  int comparisons_ = 0;
  int operators_ = 0;
};

}  // namespace

void parse_filter(filter_node_t& out, const table_desc_t& table, const std::string& text) {
  out = filter_c(table, text).parse();
}

}  // namespace lumdb
