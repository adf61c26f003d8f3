#pragma once

#include <string>
#include <vector>

namespace tw {

// The 49 default lines of "\config\ext.ini", in order.
const std::vector<std::string>& DefaultJunkMaskLines();

// The default lines of "\config\dfext.ini": eight sections, entries numbered from 1 in each.
std::vector<std::string> DefaultFileGroupLines();

} // namespace tw
