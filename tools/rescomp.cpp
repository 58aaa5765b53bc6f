// rescomp OUTPUT MANIFEST: compiles a resource file kept in a data fork (a bundle's .rsrc) from a
// manifest, one resource per line:
//
//   TYPE ID NAME DATAFILE      e.g.   icns 121 - /path/to/121.icns
//
// TYPE is four characters (quote it when it holds spaces: 'STR '), ID a signed 16-bit number,
// NAME "-" for none or a double-quoted string, DATAFILE the file whose bytes become the data.
// Blank lines and lines starting with '#' are ignored.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/resources/resource_map.h"
#include "toolbox/resources/resource_open.h"
#include "toolbox/resources/resources.h"

namespace {

struct Entry {
  ResType type = 0;
  SInt16 id = 0;
  std::string name;
  std::string dataFile;
  int line = 0;
};

bool ReadToken(std::istringstream& in, std::string& token) {
  in >> std::ws;
  int quote = in.peek();
  if (quote == '\'' || quote == '"') {
    in.get();
    token.clear();
    for (int c; (c = in.get()) != EOF;) {
      if (c == quote) return true;
      token.push_back(static_cast<char>(c));
    }
    return false;  // unterminated
  }
  return static_cast<bool>(in >> token);
}

bool ParseLine(const std::string& text, int line, Entry& entry, std::string& error) {
  std::istringstream in(text);
  std::string type, id, name;
  if (!ReadToken(in, type) || !ReadToken(in, id) || !ReadToken(in, name) ||
      !ReadToken(in, entry.dataFile)) {
    error = "expected TYPE ID NAME DATAFILE";
    return false;
  }
  if (type.size() != 4) {
    error = "a resource type has four characters";
    return false;
  }
  char* end = nullptr;
  long value = std::strtol(id.c_str(), &end, 10);
  if (*end || value < -32768 || value > 32767) {
    error = "a resource ID is a 16-bit signed number";
    return false;
  }
  if (name.size() > 255) {
    error = "a resource name has at most 255 bytes";
    return false;
  }
  entry.type = (static_cast<ResType>(static_cast<unsigned char>(type[0])) << 24) |
               (static_cast<ResType>(static_cast<unsigned char>(type[1])) << 16) |
               (static_cast<ResType>(static_cast<unsigned char>(type[2])) << 8) |
               static_cast<unsigned char>(type[3]);
  entry.id = static_cast<SInt16>(value);
  entry.name = name == "-" ? "" : name;
  entry.line = line;
  return true;
}

bool ReadFile(const std::string& path, std::vector<char>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: rescomp OUTPUT MANIFEST\n");
    return 2;
  }
  const std::string output = argv[1];
  const std::string manifestPath = argv[2];

  std::ifstream manifest(manifestPath);
  if (!manifest) {
    std::fprintf(stderr, "rescomp: cannot read %s\n", manifestPath.c_str());
    return 1;
  }
  std::vector<Entry> entries;
  std::string text;
  for (int line = 1; std::getline(manifest, text); ++line) {
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') continue;
    Entry entry;
    std::string error;
    if (!ParseLine(text, line, entry, error)) {
      std::fprintf(stderr, "%s:%d: %s\n", manifestPath.c_str(), line, error.c_str());
      return 1;
    }
    entries.push_back(entry);
  }

  // Start from an empty map in the data fork, then add through the Resource Manager.
  std::filesystem::create_directories(std::filesystem::absolute(output).parent_path());
  {
    auto empty = tb::resources::SerializeResourceFork(tb::resources::EmptyResourceMap());
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(empty->data()),
              static_cast<std::streamsize>(empty->size()));
    if (!out) {
      std::fprintf(stderr, "rescomp: cannot write %s\n", output.c_str());
      return 1;
    }
  }
  SInt16 file = tb::resources::OpenResFileAtPath(output, fsRdWrPerm);
  if (file == -1) {
    std::fprintf(stderr, "rescomp: cannot open %s (error %d)\n", output.c_str(), ResError());
    return 1;
  }

  int failures = 0;
  for (const Entry& entry : entries) {
    std::vector<char> data;
    if (!ReadFile(entry.dataFile, data)) {
      std::fprintf(stderr, "%s:%d: cannot read %s\n", manifestPath.c_str(), entry.line,
                   entry.dataFile.c_str());
      ++failures;
      continue;
    }
    if (Get1Resource(entry.type, entry.id)) {
      std::fprintf(stderr, "%s:%d: resource listed twice\n", manifestPath.c_str(), entry.line);
      ++failures;
      continue;
    }
    Handle h = tb::NewHandleWith(data.data(), static_cast<Size>(data.size()));
    Str255 name;
    tb::SetPascal(name, sizeof name, entry.name);
    AddResource(h, entry.type, entry.id, name);
    if (ResError() != noErr) {
      std::fprintf(stderr, "%s:%d: cannot add the resource (error %d)\n", manifestPath.c_str(),
                   entry.line, ResError());
      DisposeHandle(h);
      ++failures;
    }
  }
  CloseResFile(file);
  if (ResError() != noErr) {
    std::fprintf(stderr, "rescomp: writing %s failed (error %d)\n", output.c_str(), ResError());
    ++failures;
  }
  if (failures) std::filesystem::remove(output);
  return failures ? 1 : 0;
}
