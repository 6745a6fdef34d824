#include "support/GameFrames.h"

void GameFrames::readSettingKeys() {
    if (settingKeys) settingKeys();
}

void GameFrames::readTextKeys(double frameSeconds) {
    if (textKeys) textKeys(frameSeconds);
}

void GameFrames::buildLevel() {
    if (levelBuild) levelBuild();
}

void GameFrames::step(double seconds) {
    if (stepWith)
        stepWith(seconds);
    else
        FrameUpdate::step(seconds);
}

void GameFrames::stepDone(bool) {
    if (afterEachStep) afterEachStep();
}

void GameFrames::updateTexts() {
    if (texts) texts();
}
