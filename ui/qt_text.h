// Conversions between the system's GBK text and Qt's UTF-16 strings, at the window's edge.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace vd {

inline QString gbk_to_qstring(std::string_view gbk) {
  std::u16string utf16 = gbk_to_utf16(gbk);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

inline std::string qstring_to_gbk(const QString& text) {
  return utf16_to_gbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                          static_cast<std::size_t>(text.size())));
}

}  // namespace vd
