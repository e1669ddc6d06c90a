#pragma once
// Who the operator writes to; shown in the version dialog and in the MIB
// loader's question about a missing parent.
namespace quillon {
inline constexpr const char* kContactAddress = "support@quillon.example.org";
inline constexpr const char* kHomePage = "https://quillon.example.org/";
}  // namespace quillon
