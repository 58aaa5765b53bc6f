// The script driver's input: one command per line, words separated by blanks.
//
// A word may be quoted with double quotes to hold blanks; inside quotes a backslash takes the
// next character as it is. A line whose first word starts with '#' is a comment; blank lines
// are skipped.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "toolbox/core/types.h"

namespace tb::drivers::script {

struct Command {
  int line = 0;                    // 1-based line number in the script
  std::string text;                // the line as written, without its end of line
  std::vector<std::string> words;  // words[0] is the command's name
};

// Splits one line into words; false (with `error` set) for an unterminated quote.
bool SplitWords(std::string_view line, std::vector<std::string>* words, std::string* error);

class Reader {
 public:
  explicit Reader(std::istream& in) : in_(in) {}
  // The next command. False at the end of the input. A line that cannot be split still comes
  // back, with no words and `error` set, so the caller can report it and go on.
  bool Next(Command* command, std::string* error);

 private:
  std::istream& in_;
  int line_ = 0;
};

// "1", "12": an item index of a menu (1 to 65535); false for anything else.
bool ParseItemIndex(std::string_view word, UInt16* index);

}  // namespace tb::drivers::script
