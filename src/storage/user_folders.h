#pragma once

#include <filesystem>

// Where the user may keep data, as the operating system says (platform_*.cpp).
namespace cronovolta::platform {

// The user's own folder ($HOME, or %USERPROFILE% on Windows); empty when unknown.
std::filesystem::path homeFolder();

// Whether this user may create files in the folder.
bool canWriteIn(const std::filesystem::path& folder);

} // namespace cronovolta::platform
