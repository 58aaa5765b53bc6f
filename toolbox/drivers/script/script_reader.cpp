#include "toolbox/drivers/script/script_reader.h"

#include <charconv>

namespace tb::drivers::script {

bool SplitWords(std::string_view line, std::vector<std::string>* words, std::string* error) {
  words->clear();
  size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i == line.size()) break;
    std::string word;
    while (i < line.size() && !blank(line[i])) {
      if (line[i] != '"') {
        word += line[i++];
        continue;
      }
      ++i;  // the opening quote
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size()) c = line[i++];
        word += c;
      }
      if (!closed) {
        *error = "unterminated quote";
        words->clear();
        return false;
      }
    }
    words->push_back(std::move(word));
  }
  return true;
}

bool Reader::Next(Command* command, std::string* error) {
  std::string text;
  while (std::getline(in_, text)) {
    ++line_;
    error->clear();
    command->line = line_;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    command->text = text;
    if (!SplitWords(text, &command->words, error)) return true;
    if (command->words.empty() || command->words.front().starts_with("#")) continue;
    return true;
  }
  return false;
}

bool ParseItemIndex(std::string_view word, UInt16* index) {
  unsigned value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value == 0 || value > 0xFFFF) {
    return false;
  }
  *index = static_cast<UInt16>(value);
  return true;
}

}  // namespace tb::drivers::script
