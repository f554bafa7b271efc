#include "about/OsDescription.h"

#include <QString>
#include <exception>

namespace velt {
namespace {

std::string Win9xDescription(const OsVersionRecord& v) {
  const char second = v.servicePack.size() > 1 ? v.servicePack[1] : '\0';
  if (v.majorVersion == 4 && v.minorVersion == 0) {
    return std::string("Microsoft Windows 95 ") + (second == 'C' || second == 'B' ? "OSR2 " : "");
  }
  if (v.majorVersion == 4 && v.minorVersion == 10) {
    return std::string("Microsoft Windows 98 ") + (second == 'A' ? "SE " : "");
  }
  if (v.majorVersion == 4 && v.minorVersion == 90) return "Microsoft Windows Millennium Edition";
  return "Unknown";
}

std::string NtBase(const OsVersionRecord& v) {
  if (v.majorVersion == 5 && v.minorVersion == 2) return "Microsoft Windows .NET Server 2003 family, ";
  if (v.majorVersion == 5 && v.minorVersion == 1) return "Microsoft Windows XP ";
  if (v.majorVersion == 5 && v.minorVersion == 0) return "Microsoft Windows 2000 ";
  if (v.majorVersion <= 4) return "Microsoft Windows NT ";
  return "Windows NT product family? ";
}

std::string ServerEdition(const OsVersionRecord& v) {
  const bool datacenter = v.suiteMask & 0x0080;
  const bool enterprise = v.suiteMask & 0x0002;
  if (v.majorVersion == 5 && v.minorVersion == 2) {
    if (datacenter) return "Datacenter Edition ";
    if (enterprise) return "Enterprise Edition ";
    if (v.suiteMask == 0x0400) return "Web Edition ";
    return "Standard Edition ";
  }
  if (v.majorVersion == 5 && v.minorVersion == 0) {
    if (datacenter) return "Datacenter Server ";
    if (enterprise) return "Advanced Server ";
    return "Server ";
  }
  return enterprise ? "Server 4.0, Enterprise Edition " : "Server 4.0 ";
}

std::string ExtendedEdition(const OsVersionRecord& v) {
  if (v.productType == 1) {
    if (v.majorVersion == 4) return "Workstation 4.0 ";
    return (v.suiteMask & 0x0200) ? "Home Edition " : "Professional ";
  }
  if (v.productType == 3) return ServerEdition(v);
  return "";
}

std::string RegistryEdition(const std::string& productType) {
  const QString upper = QString::fromStdString(productType).toUpper();
  if (upper == "WINNT") return "Workstation ";
  if (upper == "LANMANNT") return "Server ";
  if (upper == "SERVERNT") return "Advanced Server ";
  return "";
}

std::string ServicePackAndBuild(const OsVersionRecord& v, OsVersionServices& services) {
  const std::string build = " (Build " + std::to_string(v.buildNumber & 0xFFFF) + ")";
  const bool sp6 = QString::fromStdString(v.servicePack).compare("Service Pack 6", Qt::CaseInsensitive) == 0;
  if (v.majorVersion == 4 && sp6 && services.HasServicePack6aHotfix()) return "Service Pack 6a" + build;
  return v.servicePack + build;
}

}  // namespace

std::string GetDetailedOsDescription(OsVersionServices& services) {
  std::optional<OsVersionRecord> version = services.ExtendedVersion();
  const bool extended = version.has_value();
  if (!extended) version = services.PlainVersion();
  if (!version) return "Unknown";
  const OsVersionRecord& v = *version;
  switch (v.platformId) {
    case 0: return "Microsoft Win32s";
    case 1: return Win9xDescription(v);
    case 2: break;
    default: return "Unknown";
  }
  std::string text = NtBase(v);
  if (extended) {
    text += ExtendedEdition(v);
  } else {
    // Without the extended record the edition comes from the registry; when
    // that cannot be read the description ends here.
    const std::optional<std::string> productType = services.ProductType();
    if (!productType) return text;
    const std::string typeText = productType->substr(0, productType->find('\0'));
    text += RegistryEdition(typeText) + std::to_string(v.majorVersion) + "." + std::to_string(v.minorVersion);
  }
  return text + ServicePackAndBuild(v, services);
}

std::string GetSimpleOsDescription(OsVersionServices& services) {
  const OsVersionRecord v = services.PlainVersion().value_or(OsVersionRecord{});
  return QString::asprintf("%s Version %u.%u (Build %u : %s)", PlatformName(v.platformId).c_str(), v.majorVersion,
                           v.minorVersion, v.buildNumber, v.servicePack.c_str())
      .toStdString();
}

std::string PlatformName(uint32_t platformId) {
  switch (platformId) {
    case 0: return "Windows 3.1";
    case 1: return "Windows 95";
    case 2: return "Windows NT";
    default: return "";
  }
}

std::string GetOsDescription(OsVersionServices& services) {
  try {
    return GetDetailedOsDescription(services);
  } catch (const std::exception&) {
  }
  try {
    return GetSimpleOsDescription(services);
  } catch (const std::exception&) {
  }
  return "Microsoft Windows";
}

}  // namespace velt
