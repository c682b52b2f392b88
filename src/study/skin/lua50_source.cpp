// The source pass of the 5.0 compatibility layer (see lua50_compat.h).
#include "study/skin/lua50_compat.h"

#include <algorithm>
#include <cctype>
#include <tuple>
#include <vector>

namespace study {
namespace {

constexpr std::string_view kForInShim = "__klv_forin";

struct Edit {
  size_t begin;
  size_t end;
  std::string replacement;
};

// A code token: a name (keywords included) or anything else; comments are not tokens.
struct Token {
  bool isName;
  std::string_view text;
  size_t begin;
  size_t end;
};

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Lua50Pass {
 public:
  explicit Lua50Pass(std::string_view source) : src_(source) {}

  std::string run() {
    scan();
    wrapGenericFors();
    return apply();
  }

 private:
  char at(size_t i) const { return i < src_.size() ? src_[i] : '\0'; }

  void scan() {
    size_t pos = 0;
    while (pos < src_.size() && !stopped_) {
      const char c = src_[pos];
      if (c == '-' && at(pos + 1) == '-') {
        pos = comment(pos);
      } else if (c == '[' && at(pos + 1) == '[') {
        const size_t end = longBracket50(pos);
        addToken(false, pos, end);
        pos = end;
      } else if (c == '[' && at(pos + 1) == '=') {
        // Not 5.0 syntax outside a string; read it as 5.1 does so that newer skins survive.
        const size_t end = longBracket51(pos);
        addToken(false, pos, end);
        pos = end;
      } else if (c == '"' || c == '\'') {
        const size_t end = quoted(pos);
        addToken(false, pos, end);
        pos = end;
      } else if (isNameStart(c)) {
        size_t end = pos + 1;
        while (end < src_.size() && isNameChar(src_[end])) ++end;
        addToken(true, pos, end);
        pos = end;
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        size_t end = pos + 1;
        while (end < src_.size() &&
               (isNameChar(src_[end]) || src_[end] == '.' ||
                ((src_[end] == '+' || src_[end] == '-') && (src_[end - 1] == 'e' || src_[end - 1] == 'E'))))
          ++end;
        addToken(false, pos, end);
        pos = end;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos;
      } else {
        addToken(false, pos, pos + 1);
        ++pos;
      }
    }
  }

  void addToken(bool isName, size_t begin, size_t end) {
    tokens_.push_back({isName, src_.substr(begin, end - begin), begin, end});
  }

  size_t comment(size_t pos) {
    const size_t body = pos + 2;
    if (at(body) == '[' && at(body + 1) == '[') return longBracket50(body);
    if (at(body) == '[' && at(body + 1) == '=') {
      size_t i = body + 1;
      while (at(i) == '=') ++i;
      // 5.1 would open a long comment here; in 5.0 the line ends the comment.
      if (at(i) == '[') edits_.push_back({body, body, " "});
    }
    const size_t lineEnd = src_.find('\n', body);
    return lineEnd == std::string_view::npos ? src_.size() : lineEnd;
  }

  // 5.0 long brackets nest. When they do, 5.1 refuses them: give them a level instead.
  size_t longBracket50(size_t open) {
    int depth = 1;
    bool nested = false;
    size_t i = open + 2;
    while (i < src_.size()) {
      if (src_[i] == '[' && at(i + 1) == '[') {
        ++depth;
        nested = true;
        i += 2;
      } else if (src_[i] == ']' && at(i + 1) == ']') {
        i += 2;
        if (--depth == 0) break;
      } else {
        ++i;
      }
    }
    if (depth != 0) {  // unfinished: leave it to Lua's own message
      stopped_ = true;
      return src_.size();
    }
    if (nested) relevel(open, i);
    return i;
  }

  void relevel(size_t open, size_t end) {
    const std::string_view content = src_.substr(open + 2, end - 2 - (open + 2));
    std::string equals = "=";
    for (;;) {
      const std::string close = "]" + equals + "]";
      const std::string tail = std::string(content) + close;
      if (tail.find(close) == content.size()) break;
      equals += '=';
    }
    edits_.push_back({open, open + 2, "[" + equals + "["});
    edits_.push_back({end - 2, end, "]" + equals + "]"});
  }

  size_t longBracket51(size_t open) {
    size_t i = open + 1;
    while (at(i) == '=') ++i;
    if (at(i) != '[') return open + 1;
    const std::string close = "]" + std::string(i - open - 1, '=') + "]";
    const size_t found = src_.find(close, i + 1);
    if (found == std::string_view::npos) {
      stopped_ = true;
      return src_.size();
    }
    return found + close.size();
  }

  size_t quoted(size_t open) {
    const char quote = src_[open];
    size_t i = open + 1;
    while (i < src_.size() && src_[i] != quote && src_[i] != '\n') i += src_[i] == '\\' ? 2 : 1;
    return std::min(src_.size(), i + 1);
  }

  bool isName(size_t i, std::string_view name) const {
    return i < tokens_.size() && tokens_[i].isName && tokens_[i].text == name;
  }
  bool isSymbol(size_t i, std::string_view symbol) const {
    return i < tokens_.size() && !tokens_[i].isName && tokens_[i].text == symbol;
  }

  // for NAME {, NAME} in EXPLIST do  ->  for ... in __klv_forin(EXPLIST) do
  void wrapGenericFors() {
    for (size_t i = 0; i < tokens_.size(); ++i) {
      if (!isName(i, "for") || i + 1 >= tokens_.size() || !tokens_[i + 1].isName) continue;
      size_t j = i + 2;
      while (isSymbol(j, ",") && j + 1 < tokens_.size() && tokens_[j + 1].isName) j += 2;
      if (!isName(j, "in")) continue;
      const size_t loopDo = matchingDo(j + 1);
      if (loopDo == tokens_.size() || loopDo == j + 1) continue;
      edits_.push_back({tokens_[j].end, tokens_[j].end, " " + std::string(kForInShim) + "("});
      edits_.push_back({tokens_[loopDo].begin, tokens_[loopDo].begin, ") "});
      wrapped_ = true;
    }
  }

  // The loop's own "do": the first one outside any block opened within the expression list.
  size_t matchingDo(size_t from) const {
    int depth = 0;
    for (size_t k = from; k < tokens_.size(); ++k) {
      if (!tokens_[k].isName) continue;
      const std::string_view word = tokens_[k].text;
      if (word == "do" && depth == 0) return k;
      if (word == "function" || word == "do" || word == "if" || word == "repeat") ++depth;
      if (word == "end" || word == "until") --depth;
      if (depth < 0) break;
    }
    return tokens_.size();
  }

  std::string apply() {
    // An insertion goes before a replacement that starts at the same place.
    std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
      return std::tie(a.begin, a.end) < std::tie(b.begin, b.end);
    });
    std::string out;
    out.reserve(src_.size() + edits_.size() * 16 + 48);
    // A local alias keeps the loops working when a skin replaces the global or a function's
    // environment; it stays on the first line, so line numbers do not move.
    if (wrapped_) out += "local " + std::string(kForInShim) + " = " + std::string(kForInShim) + "; ";
    size_t pos = 0;
    for (const Edit& edit : edits_) {
      out.append(src_.substr(pos, edit.begin - pos));
      out += edit.replacement;
      pos = edit.end;
    }
    out.append(src_.substr(pos));
    return out;
  }

  std::string_view src_;
  std::vector<Token> tokens_;
  std::vector<Edit> edits_;
  bool stopped_ = false;
  bool wrapped_ = false;
};

}  // namespace

std::string translateLua50Source(std::string_view source) { return Lua50Pass(source).run(); }

}  // namespace study
