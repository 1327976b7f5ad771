#include "tests/lighting/lighting_model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

// The rig: light 0 white above the origin; lights 1..4 stand 4 units above the
// ground's corners and aim at (+-9, 0, +-9) with 50-degree cones.
const std::array<RigLight, RIG_LIGHTS> slots = {{
    {{0, 0, 0, 1}, {0.6f, 0.6f, 0.6f, 1}, {0, 0, 0, 1}, {0, 6, 0, 1}, {0, 0, 0}, 0, 0, {0, 0, 0}},
    {{0, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}, {-10, 4, 10, 1}, {0.25f, -1, -0.25f}, 50, 1, {1, 0, 0}},
    {{0, 0, 0, 1}, {1, 1, 0, 1}, {1, 1, 0, 1}, {-10, 4, -10, 1}, {0.25f, -1, 0.25f}, 50, 1, {1, 0, 0}},
    {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 0, 1}, {10, 4, -10, 1}, {-0.25f, -1, 0.25f}, 50, 1, {1, 0, 0}},
    {{0, 0, 0, 1}, {0, 1, 1, 1}, {0, 1, 1, 1}, {10, 4, 10, 1}, {-0.25f, -1, -0.25f}, 50, 1, {1, 0, 0}},
}};

// GL's own defaults for a light's cone and attenuation.
constexpr float NO_CONE = 180.0f;

Vec3 rgb(const std::array<float, 4>& c)
{
    return {c[0], c[1], c[2]};
}

Vec3 times(const Vec3& a, const Vec3& b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

double clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

// Spot factor of a light at a point: 0 outside the cone, else the cosine to the
// cone axis raised to the exponent; 1 for a light without a cone.
double spotFactor(const RigLight& light, const Vec3& point)
{
    if (light.spotCutoff >= NO_CONE)
        return 1.0;
    const Vec3 fromLight = normalised(point - Vec3{light.position[0], light.position[1], light.position[2]});
    const Vec3 axis = normalised({light.spotDirection[0], light.spotDirection[1], light.spotDirection[2]});
    const double cosine = dot(fromLight, axis);
    if (cosine < std::cos(light.spotCutoff * PI / 180.0))
        return 0.0;
    return std::pow(std::max(cosine, 0.0), static_cast<double>(light.spotExponent));
}

Vec3 lightTerm(const RigLight& light, const Vec3& point, const Vec3& normal, const Surface& surface,
               const Vec3& towardsViewer)
{
    const Vec3 position = {light.position[0], light.position[1], light.position[2]};
    const double distance = std::sqrt(dot(position - point, position - point));
    const Vec3 towardsLight = normalised(position - point);
    const double attenuation =
        1.0 / (light.attenuation[0] + light.attenuation[1] * distance +
               light.attenuation[2] * distance * distance);
    const double spot = spotFactor(light, point);
    const double diffuse = std::max(0.0, dot(normal, towardsLight));
    Vec3 term = times(rgb(light.ambient), surface.colour) + diffuse * times(rgb(light.diffuse), surface.colour);
    if (diffuse > 0.0) {
        const Vec3 halfway = normalised(towardsLight + towardsViewer);
        const double highlight = std::pow(std::max(0.0, dot(normal, halfway)), surface.shininess);
        term = term + highlight * times(rgb(light.specular), surface.specular);
    }
    return (attenuation * spot) * term;
}

} // namespace

const std::array<RigLight, RIG_LIGHTS>& expectedSlots()
{
    return slots;
}

RigLight expectedGlLight(int index)
{
    RigLight light = slots[static_cast<std::size_t>(index)];
    if (index == 0) {
        light.spotDirection = {0, 0, -1};
        light.spotCutoff = NO_CONE;
        light.spotExponent = 0;
        light.attenuation = {1, 0, 0};
    }
    return light;
}

Surface groundSurface()
{
    return {{0.1, 0.25, 0.1}, {0.1, 0.1, 0.1}, 1.0, {0, 0, 0}};
}

Surface boxSurface()
{
    return {{0.25, 0.1, 0.1}, {0.1, 0.1, 0.1}, 1.0, {0, 0, 0}};
}

Vec3 litColour(const Vec3& point, const Vec3& normal, const Surface& surface,
               const Vec3& towardsViewer, int without)
{
    Vec3 colour = surface.emission + GLOBAL_AMBIENT * surface.colour;
    for (int i = 0; i < RIG_LIGHTS; ++i)
        if (i != without)
            colour = colour + lightTerm(expectedGlLight(i), point, normal, surface, towardsViewer);
    return {clamp01(colour.x), clamp01(colour.y), clamp01(colour.z)};
}

bool insideCone(int index, const Vec3& point)
{
    return spotFactor(expectedGlLight(index), point) > 0.0;
}
