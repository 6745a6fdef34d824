#pragma once

#include <string>

// The terrain textures (tileable snow and grass) and the snowflake sprite.
namespace textures {

bool writeAll(const std::string& dataDir);

} // namespace textures
