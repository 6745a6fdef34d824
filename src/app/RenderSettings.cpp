#include "app/RenderSettings.h"

RenderSettings& RenderSettings::instance() {
    static RenderSettings settings;
    return settings;
}
