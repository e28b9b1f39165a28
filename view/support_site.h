// The addresses of the maker's support site that pages may link to.
#pragma once

#include <string_view>

namespace velto {

// The site itself, without a trailing "/".
inline constexpr std::string_view kSupportSite = "https://www.mokume88.jp";
// Paths on the site.
inline constexpr std::string_view kSupportTopPath = "/mokume88/";
inline constexpr std::string_view kProgramHistoryPath = "/mokume88/rireki/prog/";
inline constexpr std::string_view kLawHistoryPath = "/mokume88/rireki/hourei/rireki_hourei.html";
inline constexpr std::string_view kNoticeHistoryPath = "/mokume88/rireki/kokuji/rireki_kokuji.html";
// The support mail address as a link.
inline constexpr std::string_view kSupportMailLink = "mailto:support@mokume88.jp";

} // namespace velto
