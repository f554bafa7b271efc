#include "about/OsDescription.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

namespace velt {
namespace {

class FakeOs : public OsVersionServices {
 public:
  std::optional<OsVersionRecord> extended;
  std::optional<OsVersionRecord> plain;
  std::optional<std::string> productType;
  bool hotfix = false;
  bool fails = false;
  int hotfixQueries = 0;

  std::optional<OsVersionRecord> ExtendedVersion() override {
    if (fails) throw Error("version service broken");
    return extended;
  }
  std::optional<OsVersionRecord> PlainVersion() override { return plain; }
  std::optional<std::string> ProductType() override { return productType; }
  bool HasServicePack6aHotfix() override {
    ++hotfixQueries;
    return hotfix;
  }
};

OsVersionRecord Nt(uint32_t major, uint32_t minor, uint8_t product, uint16_t suite, const std::string& sp,
                   uint32_t build) {
  return {major, minor, build, 2, sp, suite, product};
}

std::string Extended(const OsVersionRecord& record) {
  FakeOs os;
  os.extended = record;
  return GetDetailedOsDescription(os);
}

TEST(OsDescriptionTest, WorkedNtCases) {
  EXPECT_EQ(Extended(Nt(5, 1, 1, 0, "Service Pack 2", 2600)),
            "Microsoft Windows XP Professional Service Pack 2 (Build 2600)");
  EXPECT_EQ(Extended(Nt(6, 1, 1, 0, "Service Pack 1", 7601)),
            "Windows NT product family? Professional Service Pack 1 (Build 7601)");
  // No service pack: the build part starts with its own blank.
  EXPECT_EQ(Extended(Nt(5, 0, 1, 0, "", 2195)), "Microsoft Windows 2000 Professional  (Build 2195)");
  // Only the low 16 bits of the build number count.
  EXPECT_EQ(Extended(Nt(5, 1, 1, 0x0200, "", 0x05010A28)), "Microsoft Windows XP Home Edition  (Build 2600)");
}

TEST(OsDescriptionTest, WorkstationAndServerEditionsFromTheExtendedRecord) {
  EXPECT_EQ(Extended(Nt(4, 0, 1, 0x0200, "", 1381)), "Microsoft Windows NT Workstation 4.0  (Build 1381)");
  EXPECT_EQ(Extended(Nt(5, 2, 3, 0x0082, "", 3790)),
            "Microsoft Windows .NET Server 2003 family, Datacenter Edition  (Build 3790)");
  EXPECT_EQ(Extended(Nt(5, 2, 3, 0x0402, "", 3790)),
            "Microsoft Windows .NET Server 2003 family, Enterprise Edition  (Build 3790)");
  EXPECT_EQ(Extended(Nt(5, 2, 3, 0x0400, "", 3790)),
            "Microsoft Windows .NET Server 2003 family, Web Edition  (Build 3790)");
  // Web Edition needs the mask to be exactly that bit.
  EXPECT_EQ(Extended(Nt(5, 2, 3, 0x0410, "", 3790)),
            "Microsoft Windows .NET Server 2003 family, Standard Edition  (Build 3790)");
  EXPECT_EQ(Extended(Nt(5, 0, 3, 0x0080, "", 2195)), "Microsoft Windows 2000 Datacenter Server  (Build 2195)");
  EXPECT_EQ(Extended(Nt(5, 0, 3, 0x0002, "", 2195)), "Microsoft Windows 2000 Advanced Server  (Build 2195)");
  EXPECT_EQ(Extended(Nt(5, 0, 3, 0, "", 2195)), "Microsoft Windows 2000 Server  (Build 2195)");
  EXPECT_EQ(Extended(Nt(4, 0, 3, 0x0002, "", 1381)),
            "Microsoft Windows NT Server 4.0, Enterprise Edition  (Build 1381)");
  EXPECT_EQ(Extended(Nt(4, 0, 3, 0, "", 1381)), "Microsoft Windows NT Server 4.0  (Build 1381)");
  // A domain controller (product type 2) gets no edition.
  EXPECT_EQ(Extended(Nt(5, 0, 2, 0, "", 2195)), "Microsoft Windows 2000  (Build 2195)");
}

TEST(OsDescriptionTest, ServicePack6aNeedsVersion4AndTheHotfixKey) {
  FakeOs os;
  os.extended = Nt(4, 0, 1, 0, "service PACK 6", 1381);
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Workstation 4.0 service PACK 6 (Build 1381)");
  os.hotfix = true;
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Workstation 4.0 Service Pack 6a (Build 1381)");
  os.extended = Nt(5, 0, 1, 0, "Service Pack 6", 2195);
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 2000 Professional Service Pack 6 (Build 2195)");
  os.extended = Nt(4, 0, 1, 0, "Service Pack 6 ", 1381);
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Workstation 4.0 Service Pack 6  (Build 1381)");
}

TEST(OsDescriptionTest, PlainRecordTakesTheEditionFromTheRegistry) {
  FakeOs os;
  os.plain = Nt(4, 0, 0, 0, "Service Pack 3", 1381);
  os.productType = "lanmanNT";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Server 4.0Service Pack 3 (Build 1381)");
  os.productType = "WinNT";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Workstation 4.0Service Pack 3 (Build 1381)");
  os.productType = std::string("SERVERNT\0junk", 13);
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT Advanced Server 4.0Service Pack 3 (Build 1381)");
  os.productType = "Other";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT 4.0Service Pack 3 (Build 1381)");
  // Without the registry value the text ends after its base.
  os.productType.reset();
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows NT ");
  EXPECT_EQ(os.hotfixQueries, 0);
}

TEST(OsDescriptionTest, OlderPlatformsAndUnknownOnes) {
  FakeOs os;
  os.extended = OsVersionRecord{4, 10, 0x040A08AE, 1, " A ", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 98 SE ");
  os.extended->servicePack = "A";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 98 ");
  os.extended = OsVersionRecord{4, 0, 950, 1, " C", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 95 OSR2 ");
  os.extended->servicePack = " B";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 95 OSR2 ");
  os.extended->servicePack = "";
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows 95 ");
  os.extended = OsVersionRecord{4, 90, 3000, 1, "", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Windows Millennium Edition");
  os.extended = OsVersionRecord{4, 20, 3000, 1, "", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Unknown");
  os.extended = OsVersionRecord{3, 10, 0, 0, "", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Microsoft Win32s");
  os.extended = OsVersionRecord{10, 0, 0, 3, "", 0, 0};
  EXPECT_EQ(GetDetailedOsDescription(os), "Unknown");
  os.extended.reset();
  EXPECT_EQ(GetDetailedOsDescription(os), "Unknown");
}

TEST(OsDescriptionTest, SimpleDescriptionAndPlatformNames) {
  FakeOs os;
  os.plain = OsVersionRecord{4, 10, 0x040A08AE, 1, " A ", 0, 0};
  EXPECT_EQ(GetSimpleOsDescription(os), "Windows 95 Version 4.10 (Build 67766446 :  A )");
  os.plain = OsVersionRecord{5, 1, 2600, 7, "", 0, 0};
  EXPECT_EQ(GetSimpleOsDescription(os), " Version 5.1 (Build 2600 : )");
  EXPECT_EQ(PlatformName(0), "Windows 3.1");
  EXPECT_EQ(PlatformName(2), "Windows NT");
}

TEST(OsDescriptionTest, FallsBackWhenTheDetailedDescriptionRaises) {
  FakeOs os;
  os.fails = true;
  os.plain = Nt(5, 1, 1, 0, "Service Pack 2", 2600);
  EXPECT_EQ(GetOsDescription(os), "Windows NT Version 5.1 (Build 2600 : Service Pack 2)");
  os.fails = false;
  os.extended = os.plain;
  EXPECT_EQ(GetOsDescription(os), "Microsoft Windows XP Professional Service Pack 2 (Build 2600)");

  class Broken : public FakeOs {
    std::optional<OsVersionRecord> PlainVersion() override { throw Error("broken too"); }
  } broken;
  broken.fails = true;
  EXPECT_EQ(GetOsDescription(broken), "Microsoft Windows");
}

}  // namespace
}  // namespace velt
