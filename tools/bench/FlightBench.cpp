#include "FlightBench.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>

#include "GameFlight.h"
#include "app/Game.h"
#include "core/GameState.h"
#include "app/LevelFlow.h"
#include "core/RenderSettings.h"
#include "core/ScriptedInput.h"
#include "player/PlayerNode.h"
#include "render/PictureDifference.h"
#include "world/LevelObjects.h"

namespace {

constexpr double STEP = 1.0 / 60.0;
constexpr int WIDTH = 800, HEIGHT = 600;
// Every level's autopilot flight lasts longer than the last of these.
constexpr double SAMPLE_TIMES[5] = {2.5, 5.0, 7.5, 10.0, 12.5};

// The picture with detail that falls with distance against the full grid's.
void compareHere(FlightFigures& figures) {
    RenderSettings& settings = RenderSettings::instance();
    settings.fullTerrainDetail = true;
    const std::vector<unsigned char> full = drawScenePicture(gameState.sceneRoot, WIDTH, HEIGHT);
    settings.fullTerrainDetail = false;
    const std::vector<unsigned char> adaptive = drawScenePicture(gameState.sceneRoot, WIDTH, HEIGHT);
    const PictureDifference d = comparePictures(full, adaptive);
    figures.worstMean = std::max(figures.worstMean, d.meanAbsolute);
    figures.worstWithin = std::min(figures.worstWithin, d.shareWithin);
}

FlightFigures benchLevel(Game& game, ScriptedInput& input, double& clock, int level) {
    FlightFigures figures;
    figures.level = level;
    RenderSettings& settings = RenderSettings::instance();
    BenchClock::time_point start = BenchClock::now();
    const bool built = game.changeLevel(level);
    glFinish();
    figures.loadMs = millisecondsSince(start);
    if (!built) return figures;

    input.releaseAll();
    settings.fullTerrainDetail = true;
    figures.fullStartMs = startViewFrameTime(game, clock, &figures.fullTriangles);
    settings.fullTerrainDetail = false;
    figures.startMs = startViewFrameTime(game, clock, &figures.triangles);
    compareHere(figures);

    // The flight: the autopilot chooses the keys, the game's own frame loop
    // moves and draws, one 1/60 s step a pass.
    std::vector<double> times;
    size_t nextSample = 0;
    FlightOptions options;
    options.maxSeconds = 90.0;
    options.drawFrames = true;
    options.passMilliseconds = &times;
    options.afterPass = [&]() {
        if (nextSample < 5 && gameState.raceTime >= SAMPLE_TIMES[nextSample] && !gameState.player->stopped) {
            compareHere(figures);
            ++nextSample;
        }
    };
    const FlightResult flight = flyLevel(game, level, input, options);
    figures.finished = flight.finished;
    figures.flightSeconds = flight.time;
    figures.flightP50 = percentile(times, 0.5);
    figures.flightP95 = percentile(times, 0.95);
    return figures;
}

}  // namespace

double millisecondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

double startViewFrameTime(Game& game, double& clock, long* triangles) {
    GLuint query = 0;
    glGenQueries(1, &query);
    std::vector<double> times;
    game.startClock(clock);
    for (int pass = 0; pass < 20; ++pass) {
        gameState.raceTime = 0.0;
        clock += STEP;
        if (pass == 19) glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        BenchClock::time_point start = BenchClock::now();
        game.runPass(clock);
        if (pass >= 8) times.push_back(millisecondsSince(start));
        if (pass == 19) glEndQuery(GL_PRIMITIVES_GENERATED);
    }
    GLuint count = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    if (triangles) *triangles = long(count);
    return percentile(times, 0.5);
}

std::vector<FlightFigures> runFlightBench(Game& game, ScriptedInput& input, double& clock,
                                          const std::vector<int>& levels, std::FILE* out) {
    std::fprintf(out,
                 "\nlevel  load  start  flight p50  p95  (s)     triangles   full: start  triangles  speed-up"
                 "  mean diff  within 8\n");
    std::vector<FlightFigures> all;
    for (int level : levels) {
        const FlightFigures f = benchLevel(game, input, clock, level);
        std::fprintf(out, "%5d  %4.0f  %5.1f  %10.1f %4.1f  (%4.1f%s)  %9ld   %11.1f  %9ld  %7.1fx  %9.2f  %7.2f%%\n",
                     f.level, f.loadMs, f.startMs, f.flightP50, f.flightP95, f.flightSeconds,
                     f.finished ? "" : " unfinished", f.triangles, f.fullStartMs, f.fullTriangles,
                     f.startMs > 0 ? f.fullStartMs / f.startMs : 0.0, f.worstMean, 100.0 * f.worstWithin);
        std::fflush(out);
        all.push_back(f);
    }
    return all;
}
