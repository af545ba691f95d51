// cp1252 text of the system <-> QString at the edge of a window. Every byte
// round-trips; characters without a cp1252 byte become "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vk {

QString qtext(std::string_view cp1252);
std::string cp1252(const QString& text);

}  // namespace vk
