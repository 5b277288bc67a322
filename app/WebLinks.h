#pragma once

// Where the two logo buttons lead. The maker's address is a placeholder under a reserved domain until the
// board maker publishes one; it lives here so that it is changed in one place.
namespace qbv::web {

constexpr const char* kFpgaVendorSite = "https://www.altera.com/";
constexpr const char* kMakerSite = "https://www.marovan.example/";

} // namespace qbv::web
