// Linux paths of clicked items, as the desktop's command line and scripts give them.
#pragma once

#include <filesystem>

#include "toolbox/files/files.h"

namespace desktop::script {

// The FSSpec of an existing item; a relative path is taken from the current directory.
bool SpecForPath(const std::filesystem::path& path, FSSpec* spec);

}  // namespace desktop::script
