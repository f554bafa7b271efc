// Reading of a connection text such as
// "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=pw;Data Source=/path/x.mdb".
//
// Keys are matched without regard to letter case and surrounding blanks.
// "Data Source" takes the rest of the text, so a path may hold ";". Other
// values end at the next ";" that starts a known key, so a password may
// hold ";" unless what follows looks like "key=". The provider must be
// ProviderName; anything else, a missing provider or a missing data source
// raises velt::Error. Pure and thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace velt::provider {

inline constexpr char ProviderName[] = "Microsoft.Jet.OLEDB.4.0";

struct ConnectionSettings {
  std::string password;
  std::string dataSource;
};

ConnectionSettings ParseConnectionString(std::string_view text);

}  // namespace velt::provider
