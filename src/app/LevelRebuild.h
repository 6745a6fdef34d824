#pragma once

// Replaces the current level's scene with a fresh build of
// gameState.levelNumber and hangs the player under the new root: the level
// change's build in the game. A level that cannot be built ends the game
// (gameState.running), with the player under an empty root.
void rebuildLevel();
