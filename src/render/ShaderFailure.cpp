#include "render/ShaderFailure.h"

void ShaderFailure::set(const std::string& lines) {
    if (failed) return;
    text = lines;
    failed = true;
}
