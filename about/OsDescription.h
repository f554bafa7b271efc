// The operating-system description of the About window.
//
// The description is built from a version record of the kind that a
// version call of the classic desktop system family returns, and from two
// registry answers. Both come through OsVersionServices, so every branch
// can be reached with any record; GetOsDescription() without arguments is
// this platform's answer, which has no such record (see HostOsDescription.h).
//
// GetOsDescription(services): GetDetailedOsDescription; if that raises,
// GetSimpleOsDescription; if that raises too, "Microsoft Windows".
//
// Pure functions of the services' answers; thread safety is that of the
// services object passed in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velt {

struct OsVersionRecord {
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;     // 0 Win32s, 1 the 95 family, 2 the NT family
  std::string servicePack;     // the service-pack text ("" when none)
  uint16_t suiteMask = 0;      // extended record only
  uint8_t productType = 0;     // extended record only: 1 workstation, 2 domain controller, 3 server
};

class OsVersionServices {
 public:
  virtual ~OsVersionServices() = default;
  // The extended record, or nothing when the call refuses it.
  virtual std::optional<OsVersionRecord> ExtendedVersion() = 0;
  // The plain record (suite mask and product type unused), or nothing.
  virtual std::optional<OsVersionRecord> PlainVersion() = 0;
  // The registry's "ProductType" under the product-options key; nothing when
  // the key or value is missing or the value needs more than 255 bytes.
  virtual std::optional<std::string> ProductType() = 0;
  // Whether the registry key of the Service Pack 6a hotfix opens.
  virtual bool HasServicePack6aHotfix() = 0;
};

std::string GetOsDescription(OsVersionServices& services);
std::string GetDetailedOsDescription(OsVersionServices& services);
std::string GetSimpleOsDescription(OsVersionServices& services);
std::string PlatformName(uint32_t platformId);

}  // namespace velt
