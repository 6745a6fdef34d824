#include "app/FlightGauge.h"

#include <cmath>
#include <cstdio>

#include "player/PlayerNode.h"
#include "scene/CollisionRegistry.h"

FlightGauge FlightGauge::read(PlayerNode& player, Node* terrain, const CollisionRegistry& grid) {
    FlightGauge gauge;
    const glm::vec4 local = player.poseIn(terrain)[3];
    // A stopped figure (crashed, or past the finish) does not move at all,
    // so low as it may lie, no boost drives it.
    const float boost = player.stopped ? 0.0f : PlayerNode::lowFlightBoost(local.y);
    gauge.boost = boost > 0.0f;
    gauge.speed = player.stopped ? 0.0f : player.speed + boost;
    float ground = 0.0f;
    gauge.overGround = grid.heightAt(local.x, local.z, ground);
    if (gauge.overGround) gauge.height = local.y - ground;
    return gauge;
}

std::string FlightGauge::text() const {
    char line[96];
    // Rounded to whole units: tenths would flicker in every frame.
    const long shownSpeed = std::isfinite(speed) ? std::lround(speed) : 0;
    if (overGround && std::isfinite(height)) {
        std::snprintf(line, sizeof line, "Speed:%ld  Height:%ld%s", shownSpeed, std::lround(height),
                      boost ? "  BOOST" : "");
    } else {
        std::snprintf(line, sizeof line, "Speed:%ld  Height:-%s", shownSpeed, boost ? "  BOOST" : "");
    }
    return line;
}
