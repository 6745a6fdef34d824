#pragma once

#include "render/LightNode.h"

// The figure's headlight: bright at night, dim by day, following the
// lighting mode at every update (a switch of the mode shows at the next step).
class HeadlightNode : public LightNode {
public:
    HeadlightNode();
    void update(double dt) override;
};
