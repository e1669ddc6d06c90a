#pragma once
// The version and who the operator writes to; shown in the version dialog,
// by --version and in the MIB loader's question about a missing parent.
namespace quillon {
// "1.0.5": project(VERSION) of the top CMakeLists.txt (Version.cpp).
const char* Version();
inline constexpr const char* kContactAddress = "support@quillon.example.org";
inline constexpr const char* kHomePage = "https://quillon.example.org/";
}  // namespace quillon
