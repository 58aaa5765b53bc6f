#include "toolbox/cf/strings_file.h"

#include <string_view>

#include "toolbox/cf/string.h"
#include "toolbox/cf/string_encoding.h"

namespace tb::cf {
namespace {

std::optional<std::u16string> DecodeFile(std::span<const std::byte> bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xFE\xFF") || text.starts_with("\xFF\xFE")) {
    return DecodeBytes(text, kCFStringEncodingUTF16);  // the mark gives the order
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return DecodeBytes(text, kCFStringEncodingUTF8);
}

bool IsTokenChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'_' || c == u'$' || c == u'/' || c == u':' || c == u'.' || c == u'-';
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

class Parser {
 public:
  explicit Parser(std::u16string_view text) : text_(text) {}

  std::optional<StringsTable> parse() {
    StringsTable table;
    while (true) {
      if (!skipSpace()) return std::nullopt;
      if (atEnd()) return table;
      std::optional<std::u16string> key = string();
      if (!key || !skipSpace() || atEnd()) return std::nullopt;
      if (text_[pos_] == u';') {
        ++pos_;
        std::u16string value = *key;
        table.insert_or_assign(std::move(*key), std::move(value));
        continue;
      }
      if (text_[pos_] != u'=') return std::nullopt;
      ++pos_;
      if (!skipSpace()) return std::nullopt;
      std::optional<std::u16string> value = string();
      if (!value || !skipSpace() || atEnd() || text_[pos_] != u';') return std::nullopt;
      ++pos_;
      table.insert_or_assign(std::move(*key), std::move(*value));
    }
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }

  // Skips white space and comments; false for an unterminated block comment.
  bool skipSpace() {
    while (!atEnd()) {
      char16_t c = text_[pos_];
      if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v' ||
          c == 0xFEFF || c == 0x2028 || c == 0x2029) {
        ++pos_;
      } else if (c == u'/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'*') {
        size_t end = text_.find(u"*/", pos_ + 2);
        if (end == std::u16string_view::npos) return false;
        pos_ = end + 2;
      } else if (c == u'/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'/') {
        while (!atEnd() && text_[pos_] != u'\n' && text_[pos_] != u'\r') ++pos_;
      } else {
        break;
      }
    }
    return true;
  }

  std::optional<std::u16string> string() {
    if (atEnd()) return std::nullopt;
    char16_t c = text_[pos_];
    if (c == u'"' || c == u'\'') return quoted(c);
    size_t start = pos_;
    while (!atEnd() && IsTokenChar(text_[pos_])) ++pos_;
    if (pos_ == start) return std::nullopt;
    return std::u16string(text_.substr(start, pos_ - start));
  }

  std::optional<std::u16string> quoted(char16_t quote) {
    ++pos_;
    std::u16string out;
    while (!atEnd()) {
      char16_t c = text_[pos_++];
      if (c == quote) return out;
      if (c != u'\\') {
        out.push_back(c);
        continue;
      }
      if (atEnd()) return std::nullopt;
      out.push_back(escape());
    }
    return std::nullopt;
  }

  // The character of the escape after a backslash (at least one character remains).
  char16_t escape() {
    char16_t c = text_[pos_++];
    switch (c) {
      case u'a':
        return 0x07;
      case u'b':
        return 0x08;
      case u'f':
        return 0x0C;
      case u'n':
        return 0x0A;
      case u'r':
        return 0x0D;
      case u't':
        return 0x09;
      case u'v':
        return 0x0B;
      case u'U': {
        unsigned value = 0;
        int digits = 0;
        for (; digits < 4 && !atEnd() && HexDigit(text_[pos_]) >= 0; ++digits) {
          value = value << 4 | static_cast<unsigned>(HexDigit(text_[pos_++]));
        }
        return digits ? static_cast<char16_t>(value) : u'U';
      }
      default:
        break;
    }
    if (c >= u'0' && c <= u'7') {
      unsigned value = c - u'0';
      for (int digits = 1; digits < 3 && !atEnd() && text_[pos_] >= u'0' && text_[pos_] <= u'7';
           ++digits) {
        value = value << 3 | (text_[pos_++] - u'0');
      }
      return static_cast<char16_t>(value);
    }
    return c;  // \\, \", \' and any other character stand for themselves
  }

  std::u16string_view text_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<StringsTable> ParseStringsFile(std::span<const std::byte> bytes) {
  std::optional<std::u16string> text = DecodeFile(bytes);
  if (!text) return std::nullopt;
  return Parser(*text).parse();
}

}  // namespace tb::cf
