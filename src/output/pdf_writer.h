#pragma once

#include "output/print_layout.h"
#include "storage/file_io.h"

#include <string>

namespace cronovolta {

// A PDF of the pages on A4 sheets in the layout's orientation, in the standard Courier
// font that every PDF reader carries, so nothing needs to be embedded.
std::string pdfDocument(const PrintLayout& layout);

// Replaces the file atomically.
IoResult writePdf(const fs::path& path, const PrintLayout& layout);

} // namespace cronovolta
