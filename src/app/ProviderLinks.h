#pragma once
// The provider's addresses that the client's windows open: the maker's site in the about
// dialog, the two recommended services and the service mailbox of the contact page.

namespace tarnix {

inline constexpr char kMakerSiteAddress[] = "http://www.chengyuan-kd.example/";
inline constexpr char kSiteGuideAddress[] = "http://dh.chengyuan-kd.example/";
inline constexpr char kSoftwareAddress[] = "http://soft.chengyuan-kd.example/";
// Shown as it is on the contact page and opened with "mailto:" before it.
inline constexpr char kServiceMailbox[] = "kf@chengyuan-kd.example";

}  // namespace tarnix
