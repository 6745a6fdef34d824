#include "app/SoundCues.h"

#include "core/GameState.h"
#include "player/PlayerNode.h"

FlightSound currentFlightSound() {
    FlightSound sound;
    PlayerNode* player = gameState.player;
    if (!player) return sound;
    // A paused flight makes no wind, nor one under the level board.
    sound.flying = !player->stopped && !gameState.paused && !gameState.boardOpen;
    sound.speed = player->speed;
    sound.flapping = player->controls.flap;
    // The lamps are placed in the terrain's space; the listener joins them there.
    const glm::mat4 pose = player->poseIn(gameState.terrain);
    sound.position = glm::vec3(pose[3]);
    // From where the figure is now: the flight model's own figure comes from
    // the pose at the start of its update, stale in the first pass of a run.
    sound.boost = PlayerNode::lowFlightBoost(sound.position.y);
    sound.forward = -glm::normalize(glm::vec3(pose[2]));
    sound.up = glm::normalize(glm::vec3(pose[1]));
    return sound;
}
