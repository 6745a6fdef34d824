#include "FlightBench.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

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

// The window at `width` x `height`, once the window system has made it so.
bool resizeWindow(GLFWwindow* window, int width, int height) {
    glfwSetWindowSize(window, width, height);
    for (int tries = 0; tries < 200; ++tries) {
        glfwWaitEventsTimeout(0.01);
        int w = 0, h = 0;
        glfwGetFramebufferSize(window, &w, &h);
        if (w == width && h == height) return true;
    }
    return false;
}

std::vector<unsigned char> windowPicture(Game& game, float scale, int width, int height) {
    game.drawAtScale(scale);
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

ScaleFigures scaleLevel(Game& game, ScriptedInput& input, int level, int width, int height) {
    ScaleFigures figures;
    figures.level = level;
    figures.width = width;
    figures.height = height;
    RenderSettings& settings = RenderSettings::instance();
    std::vector<double> times, scales;
    FlightOptions options;
    options.maxSeconds = 90.0;
    options.drawFrames = true;
    options.realClock = true;
    options.passMilliseconds = &times;

    settings.autoRenderScale = false;
    FlightResult flight = flyLevel(game, level, input, options);
    figures.fullP50 = percentile(times, 0.5);
    figures.fullP95 = percentile(times, 0.95);

    times.clear();
    settings.autoRenderScale = true;
    // The scale just drawn at, the pass's time being that of its drawing.
    options.afterPass = [&]() { scales.push_back(gameState.renderScale); };
    flight = flyLevel(game, level, input, options);
    figures.finished = flight.finished;
    figures.autoP50 = percentile(times, 0.5);
    figures.autoP95 = percentile(times, 0.95);
    double sum = 0.0;
    for (double scale : scales) sum += scale;
    figures.meanScale = scales.empty() ? 1.0 : sum / double(scales.size());

    // The start view, held for three seconds of the real clock: the scale
    // settles there as it would for a player waiting at the start.
    if (!game.changeLevel(level)) return figures;
    input.releaseAll();
    const BenchClock::time_point start = BenchClock::now();
    game.startClock(0.0);
    for (double now = 0.0; now < 3.0;) {
        gameState.raceTime = 0.0;
        now = millisecondsSince(start) / 1000.0;
        game.runPass(now);
    }
    figures.startScale = gameState.renderScale;
    gameState.showHints = false;
    const PictureDifference d = comparePictures(windowPicture(game, 1.0f, width, height),
                                                windowPicture(game, figures.startScale, width, height));
    gameState.showHints = true;
    figures.startMean = d.meanAbsolute;
    figures.startWithin = d.shareWithin;
    return figures;
}

}  // namespace

std::vector<ScaleFigures> runScaleBench(Game& game, GLFWwindow* window, ScriptedInput& input,
                                        const std::vector<int>& levels, std::FILE* out) {
    std::fprintf(out,
                 "\nwindow     level  full p50   p95  auto p50   p95  mean s  speed-up  start s  mean diff  within 8\n");
    std::vector<ScaleFigures> all;
    const int sizes[2][2] = {{800, 600}, {1280, 960}};
    for (const auto& size : sizes) {
        if (!resizeWindow(window, size[0], size[1])) {
            std::fprintf(out, "%dx%d: the window could not take that size\n", size[0], size[1]);
            continue;
        }
        for (int level : levels) {
            const ScaleFigures f = scaleLevel(game, input, level, size[0], size[1]);
            std::fprintf(out, "%4dx%-4d  %5d  %8.1f %5.1f  %8.1f %5.1f  %6.2f  %7.2fx  %7.2f  %9.2f  %7.2f%%%s\n",
                         f.width, f.height, f.level, f.fullP50, f.fullP95, f.autoP50, f.autoP95, f.meanScale,
                         f.autoP50 > 0 ? f.fullP50 / f.autoP50 : 0.0, double(f.startScale), f.startMean,
                         100.0 * f.startWithin, f.finished ? "" : "  (unfinished)");
            std::fflush(out);
            all.push_back(f);
        }
    }
    RenderSettings::instance().autoRenderScale = true;
    resizeWindow(window, 800, 600);
    return all;
}

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
