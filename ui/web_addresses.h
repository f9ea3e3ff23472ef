// The four web pages the top row opens. This is the one place that names them; the labels carry the
// last three as their targets and the picture boxes read them from the labels.
#pragma once

namespace vd {

inline constexpr char kHomePageAddress[] = "https://verodero.example/";
inline constexpr char kUpdatePageAddress[] = "https://verodero.example/updates";
inline constexpr char kSoftwarePageAddress[] = "https://verodero.example/software";
inline constexpr char kContactPageAddress[] = "https://verodero.example/contact";

}  // namespace vd
