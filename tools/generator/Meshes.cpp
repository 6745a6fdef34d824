#include "Meshes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "Font.h"
#include "Image.h"
#include "Noise.h"

namespace meshes {
namespace {

constexpr float pi = 3.14159265358979f;
constexpr int textureSize = 256;

using glm::vec2;
using glm::vec3;
using Ring = std::vector<vec3>;

struct UvRect
{
    float u0, v0, u1, v1;
};

struct Model
{
    std::vector<vec3> positions;
    std::vector<vec3> normals;
    std::vector<vec2> uvs;
    std::vector<uint32_t> triangles;

    uint32_t add(vec3 p, vec3 n, vec2 uv)
    {
        positions.push_back(p);
        normals.push_back(n);
        uvs.push_back(uv);
        return uint32_t(positions.size() - 1);
    }
    void triangle(uint32_t a, uint32_t b, uint32_t c)
    {
        triangles.insert(triangles.end(), {a, b, c});
    }
    // Adds a triangle turned so that its face looks along `outward`.
    void facing(uint32_t a, uint32_t b, uint32_t c, vec3 outward)
    {
        const vec3 n = glm::cross(positions[b] - positions[a], positions[c] - positions[a]);
        if (glm::dot(n, outward) < 0.0f)
            std::swap(b, c);
        triangle(a, b, c);
    }
};

vec3 centroid(const Ring& ring)
{
    vec3 sum(0.0f);
    for (const vec3& p : ring)
        sum += p;
    return sum / float(ring.size());
}

// A closed surface through a sequence of closed rings (all of one point
// count), with smooth normals along the sides and flat caps at both ends.
void loft(Model& m, const std::vector<Ring>& rings, UvRect uv, bool capStart = true, bool capEnd = true)
{
    const size_t n = rings[0].size();
    const size_t count = rings.size();
    const uint32_t base = uint32_t(m.positions.size());
    for (size_t r = 0; r < count; ++r)
        for (size_t k = 0; k <= n; ++k) // the seam vertex repeats for the texture
            m.add(rings[r][k % n], vec3(0.0f),
                  vec2(uv.u0 + (uv.u1 - uv.u0) * float(k) / float(n), uv.v0 + (uv.v1 - uv.v0) * float(r) / float(count - 1)));
    const size_t firstTriangle = m.triangles.size();
    for (size_t r = 0; r + 1 < count; ++r)
        for (size_t k = 0; k < n; ++k) {
            const uint32_t a = base + uint32_t(r * (n + 1) + k);
            const uint32_t c = a + uint32_t(n + 1);
            m.triangle(a, c, a + 1);
            m.triangle(a + 1, c, c + 1);
        }
    // Smooth normals from the faces; the winding is whichever points outward.
    for (size_t t = firstTriangle; t < m.triangles.size(); t += 3) {
        const uint32_t* tri = &m.triangles[t];
        const vec3 face = glm::cross(m.positions[tri[1]] - m.positions[tri[0]], m.positions[tri[2]] - m.positions[tri[0]]);
        for (int k = 0; k < 3; ++k)
            m.normals[tri[k]] += face;
    }
    float outward = 0.0f;
    for (size_t r = 0; r < count; ++r) {
        const vec3 c = centroid(rings[r]);
        for (size_t k = 0; k <= n; ++k) {
            const uint32_t v = base + uint32_t(r * (n + 1) + k);
            outward += glm::dot(m.normals[v], m.positions[v] - c);
        }
    }
    if (outward < 0.0f) {
        for (size_t t = firstTriangle; t < m.triangles.size(); t += 3)
            std::swap(m.triangles[t + 1], m.triangles[t + 2]);
        for (uint32_t v = base; v < m.positions.size(); ++v)
            m.normals[v] = -m.normals[v];
    }
    for (size_t r = 0; r < count; ++r) {
        const uint32_t first = base + uint32_t(r * (n + 1));
        const vec3 seam = m.normals[first] + m.normals[first + n];
        m.normals[first] = m.normals[first + n] = seam;
        for (size_t k = 0; k <= n; ++k) {
            vec3& normal = m.normals[first + k];
            const float length = glm::length(normal);
            normal = length > 0.0f ? normal / length : vec3(0.0f, 1.0f, 0.0f);
        }
    }
    auto cap = [&](const Ring& ring, vec3 outwardDirection) {
        const vec3 c = centroid(ring);
        const vec3 normal = glm::normalize(outwardDirection);
        const vec2 middle((uv.u0 + uv.u1) * 0.5f, (uv.v0 + uv.v1) * 0.5f);
        const uint32_t centre = m.add(c, normal, middle);
        const uint32_t first = uint32_t(m.positions.size());
        for (size_t k = 0; k < n; ++k) {
            const float a = 2.0f * pi * float(k) / float(n);
            m.add(ring[k], normal, middle + vec2(std::cos(a), std::sin(a)) * 0.5f * vec2(uv.u1 - uv.u0, uv.v1 - uv.v0));
        }
        for (size_t k = 0; k < n; ++k)
            m.facing(centre, first + uint32_t(k), first + uint32_t((k + 1) % n), normal);
    };
    if (capStart)
        cap(rings.front(), centroid(rings.front()) - centroid(rings[1]));
    if (capEnd)
        cap(rings.back(), centroid(rings.back()) - centroid(rings[count - 2]));
}

// An ellipsoid lying along z, its rings starting at the top (+y).
void ellipsoid(Model& m, vec3 centre, vec3 radii, UvRect uv, int rings = 14, int segments = 20)
{
    std::vector<Ring> all;
    for (int r = 0; r < rings; ++r) {
        const float theta = pi * (0.04f + 0.92f * float(r) / float(rings - 1));
        Ring ring;
        for (int k = 0; k < segments; ++k) {
            const float phi = 2.0f * pi * float(k) / float(segments);
            ring.push_back(centre + vec3(radii.x * std::sin(theta) * std::sin(phi), radii.y * std::sin(theta) * std::cos(phi),
                                         -radii.z * std::cos(theta)));
        }
        all.push_back(ring);
    }
    loft(m, all, uv);
}

// A tube through points with a radius at each point.
void tube(Model& m, const std::vector<vec3>& points, const std::vector<float>& radii, UvRect uv, int segments = 12)
{
    std::vector<Ring> all;
    for (size_t i = 0; i < points.size(); ++i) {
        const vec3 tangent = glm::normalize(points[std::min(i + 1, points.size() - 1)] - points[i == 0 ? 0 : i - 1]);
        const vec3 reference = std::abs(tangent.y) < 0.9f ? vec3(0.0f, 1.0f, 0.0f) : vec3(0.0f, 0.0f, -1.0f);
        const vec3 u = glm::normalize(glm::cross(reference, tangent));
        const vec3 v = glm::cross(tangent, u);
        Ring ring;
        for (int k = 0; k < segments; ++k) {
            const float a = 2.0f * pi * float(k) / float(segments);
            ring.push_back(points[i] + (u * std::cos(a) + v * std::sin(a)) * radii[i]);
        }
        all.push_back(ring);
    }
    loft(m, all, uv);
}

void box(Model& m, vec3 lo, vec3 hi, UvRect uv)
{
    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            vec3 normal(0.0f);
            normal[axis] = side ? 1.0f : -1.0f;
            const int a1 = (axis + 1) % 3, a2 = (axis + 2) % 3;
            uint32_t corner[4];
            for (int k = 0; k < 4; ++k) {
                vec3 p;
                p[axis] = side ? hi[axis] : lo[axis];
                p[a1] = (k & 1) ? hi[a1] : lo[a1];
                p[a2] = (k & 2) ? hi[a2] : lo[a2];
                corner[k] = m.add(p, normal, vec2((k & 1) ? uv.u1 : uv.u0, (k & 2) ? uv.v1 : uv.v0));
            }
            m.facing(corner[0], corner[1], corner[2], normal);
            m.facing(corner[2], corner[1], corner[3], normal);
        }
}

// ---- The figure ----------------------------------------------------------

const UvRect hide{0.0f, 0.0f, 0.75f, 1.0f};
const UvRect eyeDark{0.76f, 0.02f, 0.86f, 0.12f};
const UvRect horn{0.88f, 0.0f, 1.0f, 1.0f};

Model body()
{
    Model m;
    ellipsoid(m, vec3(0.0f, 0.02f, 0.05f), vec3(0.17f, 0.15f, 0.36f), UvRect{0.0f, 0.2f, 0.75f, 0.8f}, 16, 24);
    tube(m, {vec3(0.0f, 0.03f, -0.20f), vec3(0.0f, 0.10f, -0.33f), vec3(0.0f, 0.16f, -0.43f)}, {0.11f, 0.085f, 0.075f},
         UvRect{0.0f, 0.0f, 0.75f, 0.2f});
    ellipsoid(m, vec3(0.0f, 0.19f, -0.48f), vec3(0.095f, 0.095f, 0.115f), UvRect{0.0f, 0.0f, 0.75f, 0.25f});
    ellipsoid(m, vec3(0.0f, 0.15f, -0.585f), vec3(0.068f, 0.058f, 0.07f), UvRect{0.0f, 0.0f, 0.75f, 0.1f});
    for (float side : {-1.0f, 1.0f}) {
        ellipsoid(m, vec3(side * 0.072f, 0.215f, -0.545f), vec3(0.022f, 0.026f, 0.02f), eyeDark, 6, 8);
        tube(m, {vec3(side * 0.05f, 0.26f, -0.46f), vec3(side * 0.075f, 0.33f, -0.40f), vec3(side * 0.085f, 0.37f, -0.32f)},
             {0.025f, 0.016f, 0.005f}, horn, 8);
    }
    // Tail: a thin curve with a tuft at the end.
    tube(m, {vec3(0.0f, 0.06f, 0.38f), vec3(0.0f, 0.09f, 0.52f), vec3(0.0f, 0.16f, 0.64f), vec3(0.0f, 0.22f, 0.72f)},
         {0.04f, 0.028f, 0.02f, 0.014f}, UvRect{0.0f, 0.8f, 0.75f, 1.0f}, 10);
    ellipsoid(m, vec3(0.0f, 0.24f, 0.78f), vec3(0.04f, 0.04f, 0.07f), eyeDark, 8, 10);
    return m;
}

// Span position s (0 root .. 1 tip) and chord position t (0 leading edge ..
// 1 trailing edge) of a wing on `side` (-1 left, +1 right).
vec3 wingPoint(float side, float s, float t, bool top)
{
    const float x = side * (0.06f + 0.94f * s);
    const float lead = -0.20f + 0.58f * std::pow(s, 1.3f);
    const float trail = 0.30f + 0.28f * s - 0.05f * std::abs(std::sin(3.0f * pi * s));
    const float z = lead + (trail - lead) * t;
    const float arch = std::max(0.0f, std::sin(pi * t)); // sin(pi) is a hair below 0 in float
    const float thickness = (0.035f - 0.021f * s) * std::pow(arch, 0.7f);
    const float y = -0.02f + 0.14f * s * s + 0.03f * arch * (1.0f - 0.5f * s) + (top ? 0.5f : -0.5f) * thickness;
    return vec3(x, y, z);
}

// A whole wing, or (torn) the stump left when it breaks off: a ragged edge
// across the inner third.
Model wing(float side, bool torn)
{
    const int spans = torn ? 14 : 40;
    const int chord = 10;
    auto tearAt = [](float t) { return 0.30f + 0.05f * std::sin(t * 17.0f) + 0.04f * std::sin(t * 41.0f + 1.0f); };
    std::vector<Ring> rings;
    for (int i = 0; i <= spans; ++i) {
        Ring ring;
        const float f = float(i) / float(spans);
        for (int k = 0; k <= chord; ++k) {
            const float t = float(k) / float(chord);
            ring.push_back(wingPoint(side, torn ? f * tearAt(t) : f, t, true));
        }
        for (int k = chord - 1; k >= 1; --k) {
            const float t = float(k) / float(chord);
            ring.push_back(wingPoint(side, torn ? f * tearAt(t) : f, t, false));
        }
        rings.push_back(ring);
    }
    Model m;
    loft(m, rings, UvRect{0.0f, 0.0f, 1.0f, torn ? 0.32f : 1.0f});
    return m;
}

Model leg(bool front)
{
    Model m;
    const float reach = front ? -1.0f : 1.0f;
    std::vector<vec3> points = {vec3(0.0f, 0.02f, 0.0f), vec3(0.0f, -0.08f, 0.01f * reach),
                                vec3(0.0f, -0.15f, front ? -0.03f : 0.05f), vec3(0.0f, -0.22f, front ? 0.0f : 0.10f),
                                vec3(0.0f, -0.27f, front ? 0.04f : 0.15f), vec3(0.0f, -0.30f, front ? 0.06f : 0.18f)};
    tube(m, points, {0.055f, 0.05f, 0.032f, 0.026f, 0.034f, 0.03f}, UvRect{0.0f, 0.0f, 1.0f, 1.0f}, 12);
    return m;
}

// ---- Objects -------------------------------------------------------------

// The objects' textures share one layout: a left half and two right quarters.
constexpr UvRect leftHalf{0.0f, 0.0f, 0.5f, 1.0f};
constexpr UvRect upperRight{0.5f, 0.0f, 1.0f, 0.5f};
constexpr UvRect lowerRight{0.5f, 0.5f, 1.0f, 1.0f};

Model lamp()
{
    Model m;
    const UvRect metal = leftHalf, glass = upperRight, stone = lowerRight;
    tube(m, {vec3(0, 0.0f, 0), vec3(0, 0.08f, 0), vec3(0, 0.16f, 0)}, {0.32f, 0.3f, 0.2f}, stone, 12);
    tube(m, {vec3(0, 0.16f, 0), vec3(0, 1.2f, 0), vec3(0, 2.2f, 0)}, {0.075f, 0.06f, 0.05f}, metal, 10);
    tube(m, {vec3(0, 2.15f, 0), vec3(0, 2.25f, 0)}, {0.12f, 0.2f}, metal, 8);
    tube(m, {vec3(0, 2.25f, 0), vec3(0, 2.45f, 0), vec3(0, 2.62f, 0)}, {0.2f, 0.22f, 0.2f}, glass, 8);
    tube(m, {vec3(0, 2.62f, 0), vec3(0, 2.72f, 0), vec3(0, 2.86f, 0)}, {0.27f, 0.17f, 0.03f}, metal, 8);
    ellipsoid(m, vec3(0, 2.9f, 0), vec3(0.045f, 0.045f, 0.045f), glass, 6, 8);
    // About 20 units tall once the game scales it by 5: visible from the air.
    for (vec3& p : m.positions)
        p *= 1.4f;
    return m;
}

Model goalpost()
{
    Model m;
    const UvRect stripes = leftHalf, checker = upperRight, gold = lowerRight;
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * 1.6f;
        tube(m, {vec3(x, 0.0f, 0), vec3(x, 0.3f, 0)}, {0.24f, 0.2f}, gold, 12);
        tube(m, {vec3(x, 0.3f, 0), vec3(x, 1.7f, 0), vec3(x, 3.2f, 0)}, {0.13f, 0.12f, 0.11f}, stripes, 12);
        ellipsoid(m, vec3(x, 3.32f, 0), vec3(0.17f, 0.17f, 0.17f), gold, 8, 12);
        // Pennants on top, streaming back.
        tube(m, {vec3(x, 3.45f, 0), vec3(x, 3.9f, 0)}, {0.02f, 0.015f}, gold, 6);
        box(m, vec3(x - 0.01f, 3.62f, 0.02f), vec3(x + 0.01f, 3.88f, 0.45f), checker);
    }
    tube(m, {vec3(-1.75f, 3.05f, 0), vec3(0.0f, 3.1f, 0), vec3(1.75f, 3.05f, 0)}, {0.09f, 0.09f, 0.09f}, gold, 10);
    box(m, vec3(-1.45f, 2.4f, -0.03f), vec3(1.45f, 2.95f, 0.03f), checker);
    return m;
}

// ---- Textures ------------------------------------------------------------

float smooth(float a, float b, float x)
{
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Image paint(const std::function<vec3(float, float)>& colour)
{
    Image image(textureSize, textureSize, 3);
    for (int y = 0; y < textureSize; ++y)
        for (int x = 0; x < textureSize; ++x) {
            const vec3 c = colour((x + 0.5f) / textureSize, (y + 0.5f) / textureSize);
            image.set(x, y, toByte(c.x), toByte(c.y), toByte(c.z));
        }
    return image;
}

Image bodyTexture()
{
    return paint([](float u, float v) {
        if (u >= 0.875f)
            return vec3(0.93f, 0.88f, 0.74f); // horns
        if (u >= 0.75f)
            return vec3(0.10f, 0.07f, 0.06f); // eyes, tail tuft
        const float around = u / 0.75f;  // 0 top, 0.5 belly
        const float cream = 1.0f - smooth(0.10f, 0.18f, std::abs(around - 0.5f));
        const float back = 1.0f - std::min(1.0f, std::min(around, 1.0f - around) / 0.16f);
        const float noise = float(fbm(u * 24.0, v * 24.0, 31, 3));
        vec3 fur = vec3(0.80f, 0.36f, 0.14f) * (0.85f + 0.3f * noise);
        const float band = std::sin(v * 2.0f * pi * 9.0f) > 0.45f ? 1.0f : 0.0f;
        fur = glm::mix(fur, vec3(0.42f, 0.16f, 0.07f), 0.75f * band * smooth(0.2f, 0.8f, back) + 0.25f * back);
        return glm::mix(fur, vec3(0.96f, 0.88f, 0.70f), cream);
    });
}

Image wingTexture()
{
    return paint([](float u, float v) {
        // v runs along the span (root 0, tip 1), u around the section:
        // 0 and 1 the leading edge, 0.5 the trailing edge.
        const float rib = std::abs(std::fmod(v * 3.0f + 1.0f, 1.0f) - 0.5f);
        const float lead = std::min(u, 1.0f - u);
        const float noise = float(fbm(u * 16.0, v * 32.0, 41, 3));
        vec3 skin = glm::mix(vec3(1.0f, 0.80f, 0.40f), vec3(0.95f, 0.62f, 0.25f), v) * (0.9f + 0.2f * noise);
        if (rib > 0.47f)
            skin = vec3(0.50f, 0.24f, 0.10f);
        if (lead < 0.07f)
            skin = vec3(0.55f, 0.27f, 0.10f);
        return skin;
    });
}

Image legTexture()
{
    return paint([](float u, float v) {
        const float noise = float(fbm(u * 20.0, v * 20.0, 51, 3));
        if (v > 0.82f)
            return vec3(0.14f, 0.11f, 0.10f) * (0.8f + 0.4f * noise); // hoof
        return glm::mix(vec3(0.80f, 0.36f, 0.14f), vec3(0.55f, 0.22f, 0.08f), smooth(0.5f, 0.8f, v)) * (0.85f + 0.3f * noise);
    });
}

Image lampTexture()
{
    return paint([](float u, float v) {
        const float noise = float(fbm(u * 30.0, v * 30.0, 61, 3));
        if (u < 0.5f)
            return vec3(0.20f, 0.24f, 0.22f) * (0.8f + 0.4f * noise); // painted iron
        if (v < 0.5f) {
            const float frame = std::abs(std::fmod(u * 16.0f, 1.0f) - 0.5f) > 0.42f ? 1.0f : 0.0f;
            return glm::mix(vec3(1.0f, 0.92f, 0.55f), vec3(0.2f, 0.22f, 0.2f), frame); // glowing glass
        }
        return vec3(0.55f, 0.53f, 0.50f) * (0.75f + 0.5f * noise); // stone
    });
}

Image goalpostTexture()
{
    return paint([](float u, float v) {
        if (u < 0.5f) {
            const bool red = std::fmod(v * 10.0f + u * 2.0f, 1.0f) < 0.5f;
            return red ? vec3(0.85f, 0.10f, 0.08f) : vec3(0.97f, 0.97f, 0.95f);
        }
        if (v < 0.5f) {
            const int cx = int((u - 0.5f) * 16.0f), cy = int(v * 8.0f);
            return (cx + cy) % 2 ? vec3(0.06f, 0.06f, 0.06f) : vec3(0.97f, 0.97f, 0.97f);
        }
        const float noise = float(fbm(u * 30.0, v * 30.0, 71, 2));
        return vec3(0.95f, 0.72f, 0.18f) * (0.85f + 0.3f * noise);
    });
}

// ---- Files ---------------------------------------------------------------

bool writeObj(const std::string& dir, const std::string& name, const Model& m, const std::string& texture)
{
    const std::string objPath = dir + "/" + name + ".obj";
    const std::string mtlPath = dir + "/" + name + ".mtl";
    FILE* mtl = std::fopen(mtlPath.c_str(), "w");
    if (!mtl) {
        std::printf("cannot write %s\n", mtlPath.c_str());
        return false;
    }
    std::fprintf(mtl, "# Moorglide model material, made by tools/generator\nnewmtl %s\nKa 0.2 0.2 0.2\nKd 1 1 1\n"
                      "Ks 0.1 0.1 0.1\nNs 16\nd 1\nillum 2\nmap_Kd %s\n",
                 name.c_str(), texture.c_str());
    std::fclose(mtl);

    FILE* obj = std::fopen(objPath.c_str(), "w");
    if (!obj) {
        std::printf("cannot write %s\n", objPath.c_str());
        return false;
    }
    std::fprintf(obj, "# Moorglide model %s, made by tools/generator\nmtllib %s.mtl\no %s\n", name.c_str(), name.c_str(),
                 name.c_str());
    for (const vec3& p : m.positions)
        std::fprintf(obj, "v %.5f %.5f %.5f\n", p.x, p.y, p.z);
    for (const vec2& t : m.uvs)
        std::fprintf(obj, "vt %.5f %.5f\n", t.x, t.y);
    for (const vec3& n : m.normals)
        std::fprintf(obj, "vn %.5f %.5f %.5f\n", n.x, n.y, n.z);
    std::fprintf(obj, "usemtl %s\ns 1\n", name.c_str());
    for (size_t t = 0; t < m.triangles.size(); t += 3) {
        const uint32_t a = m.triangles[t] + 1, b = m.triangles[t + 1] + 1, c = m.triangles[t + 2] + 1;
        std::fprintf(obj, "f %u/%u/%u %u/%u/%u %u/%u/%u\n", a, a, a, b, b, b, c, c, c);
    }
    std::fclose(obj);
    return true;
}

// ---- Previews ------------------------------------------------------------

struct Placed
{
    const Model* model;
    vec3 offset;
    const Image* texture;
};

// Draws the models over `image` (RGB) in an orthographic view along `forward`,
// `up` at the top: a point q lands on pixel (right.q, -up.q) * scale + offset.
void rasterise(Image& image, const std::vector<Placed>& parts, vec3 forward, vec3 up, float scale, vec2 offset)
{
    forward = glm::normalize(forward);
    const vec3 right = glm::normalize(glm::cross(forward, up));
    up = glm::cross(right, forward);
    const int width = image.w, height = image.h;
    std::vector<float> depth(size_t(width) * height, 1e9f);
    const vec3 light = glm::normalize(vec3(-0.4f, 0.8f, 0.45f));
    for (const Placed& part : parts) {
        const Model& m = *part.model;
        for (size_t t = 0; t < m.triangles.size(); t += 3) {
            vec2 s[3];
            float d[3];
            for (int k = 0; k < 3; ++k) {
                const vec3 q = m.positions[m.triangles[t + k]] + part.offset;
                s[k] = vec2(glm::dot(q, right), -glm::dot(q, up)) * scale + offset;
                d[k] = glm::dot(q, forward);
            }
            const float area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
            if (std::abs(area) < 1e-9f)
                continue;
            const int x0 = std::max(0, int(std::floor(std::min({s[0].x, s[1].x, s[2].x}))));
            const int x1 = std::min(width - 1, int(std::ceil(std::max({s[0].x, s[1].x, s[2].x}))));
            const int y0 = std::max(0, int(std::floor(std::min({s[0].y, s[1].y, s[2].y}))));
            const int y1 = std::min(height - 1, int(std::ceil(std::max({s[0].y, s[1].y, s[2].y}))));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const vec2 p(x + 0.5f, y + 0.5f);
                    const float w0 = ((s[1].x - p.x) * (s[2].y - p.y) - (s[2].x - p.x) * (s[1].y - p.y)) / area;
                    const float w1 = ((s[2].x - p.x) * (s[0].y - p.y) - (s[0].x - p.x) * (s[2].y - p.y)) / area;
                    const float w2 = 1.0f - w0 - w1;
                    if (w0 < 0 || w1 < 0 || w2 < 0)
                        continue;
                    const float z = w0 * d[0] + w1 * d[1] + w2 * d[2];
                    float& stored = depth[size_t(y) * width + x];
                    if (z >= stored)
                        continue;
                    stored = z;
                    const uint32_t* tri = &m.triangles[t];
                    vec3 n = glm::normalize(w0 * m.normals[tri[0]] + w1 * m.normals[tri[1]] + w2 * m.normals[tri[2]]);
                    if (glm::dot(n, forward) > 0.0f)
                        n = -n;
                    const vec2 uv = w0 * m.uvs[tri[0]] + w1 * m.uvs[tri[1]] + w2 * m.uvs[tri[2]];
                    const Image& tex = *part.texture;
                    const int tx = std::clamp(int(uv.x * tex.w), 0, tex.w - 1);
                    const int ty = std::clamp(int(uv.y * tex.h), 0, tex.h - 1);
                    const float shade = 0.35f + 0.65f * std::max(0.0f, glm::dot(n, light));
                    const uint8_t* c = tex.at(tx, ty);
                    image.set(x, y, toByte(c[0] / 255.0f * shade), toByte(c[1] / 255.0f * shade), toByte(c[2] / 255.0f * shade));
                }
        }
    }
}

// An orthographic, textured and lit picture of some models, looking along
// `forward`, framed to fit.
Image render(const std::vector<Placed>& parts, vec3 forward, vec3 up, int size)
{
    forward = glm::normalize(forward);
    const vec3 right = glm::normalize(glm::cross(forward, up));
    up = glm::cross(right, forward);
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (const Placed& part : parts)
        for (const vec3& p : part.model->positions) {
            const vec3 q = p + part.offset;
            lo[0] = std::min(lo[0], glm::dot(q, right));
            hi[0] = std::max(hi[0], glm::dot(q, right));
            lo[1] = std::min(lo[1], glm::dot(q, up));
            hi[1] = std::max(hi[1], glm::dot(q, up));
        }
    const float extent = std::max(hi[0] - lo[0], hi[1] - lo[1]) * 1.1f;
    const vec2 middle((lo[0] + hi[0]) * 0.5f, (lo[1] + hi[1]) * 0.5f);
    Image image(size, size, 3);
    image.fillRect(0, 0, size, size, 38, 44, 56);
    const float scale = float(size) / extent;
    rasterise(image, parts, forward, up, scale, vec2(size * 0.5f) - vec2(middle.x, -middle.y) * scale);
    return image;
}

// The figure's parts at the player's offsets: body, left and right wing, then
// the legs left front, right front, left back, right back.
std::vector<Placed> assemble(const Model* const (&models)[7], const Image& bodyTex, const Image& wingTex, const Image& legTex)
{
    return {{models[0], vec3(0.0f), &bodyTex},
            {models[1], vec3(0, 0.15f, 0), &wingTex},
            {models[2], vec3(0, 0.15f, 0), &wingTex},
            {models[3], vec3(-0.1f, -0.02f, -0.15f), &legTex},
            {models[4], vec3(0.1f, -0.02f, -0.15f), &legTex},
            {models[5], vec3(-0.1f, -0.02f, 0.15f), &legTex},
            {models[6], vec3(0.1f, -0.02f, 0.15f), &legTex}};
}

Image threeViews(const std::vector<Placed>& parts, const std::string& title)
{
    const int size = 240;
    Image sheet(3 * size + 40, size + 40, 3);
    sheet.fillRect(0, 0, sheet.w, sheet.h, 24, 26, 32);
    sheet.paste(render(parts, vec3(0, 0, -1), vec3(0, 1, 0), size), 10, 30);  // from behind
    sheet.paste(render(parts, vec3(0, -1, 0), vec3(0, 0, -1), size), 20 + size, 30); // from above, nose up
    sheet.paste(render(parts, vec3(-1, 0, 0), vec3(0, 1, 0), size), 30 + 2 * size, 30); // from the right
    drawLabel(sheet, 10, 20, title + ": behind / above / right side", 14);
    return sheet;
}

} // namespace

bool writeAll(const std::string& dataDir, const std::string& previewDir)
{
    const std::string meshDir = dataDir + "/Meshes";
    const std::string textureDir = dataDir + "/Textures";
    if (!makeDirectories(meshDir) || !makeDirectories(textureDir))
        return false;

    const Image bodyTex = bodyTexture(), wingTex = wingTexture(), legTex = legTexture();
    const Image lampTex = lampTexture(), goalTex = goalpostTexture();
    if (!writePng(textureDir + "/body.png", bodyTex) || !writePng(textureDir + "/wing.png", wingTex)
        || !writePng(textureDir + "/leg.png", legTex) || !writePng(textureDir + "/lamp.png", lampTex)
        || !writePng(textureDir + "/goalpost.png", goalTex))
        return false;

    struct Entry
    {
        std::string name;
        Model model;
        const Image* texture;
        std::string textureName;
    };
    const std::vector<Entry> entries = {
        {"body", body(), &bodyTex, "body.png"},
        {"lwing", wing(-1.0f, false), &wingTex, "wing.png"},
        {"rwing", wing(1.0f, false), &wingTex, "wing.png"},
        {"lwing_broken", wing(-1.0f, true), &wingTex, "wing.png"},
        {"rwing_broken", wing(1.0f, true), &wingTex, "wing.png"},
        {"leg_lf", leg(true), &legTex, "leg.png"},
        {"leg_rf", leg(true), &legTex, "leg.png"},
        {"leg_lb", leg(false), &legTex, "leg.png"},
        {"leg_rb", leg(false), &legTex, "leg.png"},
        {"lamp", lamp(), &lampTex, "lamp.png"},
        {"goalpost", goalpost(), &goalTex, "goalpost.png"},
    };
    for (const Entry& e : entries) {
        if (!writeObj(meshDir, e.name, e.model, e.textureName))
            return false;
        std::printf("wrote %s/%s.obj: %zu vertices, %zu triangles\n", meshDir.c_str(), e.name.c_str(), e.model.positions.size(),
                    e.model.triangles.size() / 3);
    }
    if (previewDir.empty())
        return true;

    const std::string dir = previewDir + "/models";
    if (!makeDirectories(dir))
        return false;
    for (const Entry& e : entries)
        if (!writePng(dir + "/" + e.name + ".png", threeViews({{&e.model, vec3(0.0f), e.texture}}, e.name)))
            return false;
    // The assembled figure at the player's offsets, then as the chase camera
    // sees it (4.65 behind, 1.97 above) and with both wings torn.
    auto figure = [&](bool broken) {
        const Model* const models[7] = {&entries[0].model, &entries[broken ? 3 : 1].model, &entries[broken ? 4 : 2].model,
                                        &entries[5].model,  &entries[6].model,             &entries[7].model,
                                        &entries[8].model};
        return assemble(models, bodyTex, wingTex, legTex);
    };
    if (!writePng(dir + "/figure.png", threeViews(figure(false), "figure")))
        return false;
    Image chase(520, 300, 3);
    chase.fillRect(0, 0, chase.w, chase.h, 24, 26, 32);
    chase.paste(render(figure(false), vec3(0, -1.97f, -4.65f), vec3(0, 1, 0), 250), 5, 40);
    chase.paste(render(figure(true), vec3(0, -1.97f, -4.65f), vec3(0, 1, 0), 250), 265, 40);
    drawLabel(chase, 10, 25, "chase camera view: whole / both wings torn", 14);
    if (!writePng(dir + "/chase.png", chase))
        return false;
    std::printf("wrote previews to %s\n", dir.c_str());
    return true;
}

void drawFigure(Image& picture, glm::vec3 forward, glm::vec3 up, float scale, glm::vec2 origin)
{
    const Image bodyTex = bodyTexture(), wingTex = wingTexture(), legTex = legTexture();
    const Model whole = body(), left = wing(-1.0f, false), right = wing(1.0f, false), front = leg(true), back = leg(false);
    const Model* const models[7] = {&whole, &left, &right, &front, &front, &back, &back};
    rasterise(picture, assemble(models, bodyTex, wingTex, legTex), forward, up, scale, origin);
}

} // namespace meshes
