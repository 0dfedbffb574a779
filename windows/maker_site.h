#pragma once

// The maker's addresses, as the help, news and About windows link to them.

namespace snapwire {

inline constexpr const char* kMakerName = "the Snapwire project";
inline constexpr const char* kMakerWebSite = "https://example.org/snapwire/";
inline constexpr const char* kMakerNewsPage = "https://example.org/snapwire/news/";
inline constexpr const char* kMakerBugReportPage = "https://example.org/snapwire/bugreport/";
inline constexpr const char* kMakerFaqPage = "https://example.org/snapwire/faq/";
inline constexpr const char* kMakerMail = "snapwire@example.org";

}  // namespace snapwire
