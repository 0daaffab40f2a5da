#ifndef COMMON_CONFIG_H_
#define COMMON_CONFIG_H_

/// Web addresses shown by the programs, kept in one place until the project has pages of
/// its own.

inline constexpr char kMakerSite[] = "https://www.example.org/";
inline constexpr char kProductPage[] = "https://www.example.org/cellorin/";
inline constexpr char kConvertcpPage[] = "https://convertcp.example.org/";
inline constexpr char kWgetPage[] = "https://www.gnu.org/software/wget/";
inline constexpr char kWebShopExample[] = "https://shop.example.org";
inline constexpr char kSearchEngine[] = "https://www.google.com";

#endif  // COMMON_CONFIG_H_
