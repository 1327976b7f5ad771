// The light rig's figures as the scene is meant to have them, and an
// independent evaluation of the fixed-function lighting equation for one
// vertex under them, used to predict the colours a frame shows.
#pragma once

#include "tests/support/view_math.h"

#include <array>

// One light's figures in world terms.
struct RigLight {
    std::array<float, 4> ambient;
    std::array<float, 4> diffuse;
    std::array<float, 4> specular;
    std::array<float, 4> position;
    std::array<float, 3> spotDirection;
    float spotCutoff;   // degrees
    float spotExponent;
    std::array<float, 3> attenuation; // constant, linear, quadratic
};

constexpr int RIG_LIGHTS = 5;

// What the scene's five light slots hold: the white point light above the
// origin (its spot and attenuation fields stored as zeros) and the blue,
// yellow, red and cyan spots above the corners of the ground.
const std::array<RigLight, RIG_LIGHTS>& expectedSlots();

// What GL holds for each light: the slots, except that light 0 keeps GL's own
// defaults for its cone (direction (0, 0, -1), cutoff 180, exponent 0) and its
// attenuation (1, 0, 0), since those are never given to GL.
RigLight expectedGlLight(int index);

// Global ambient light of the scene, each of red, green and blue.
constexpr double GLOBAL_AMBIENT = 0.33;

// A surface as lighting sees it; ambient and diffuse reflectance both follow
// the colour (colour material on the front face).
struct Surface {
    Vec3 colour;
    Vec3 specular;
    double shininess;
    Vec3 emission;
};

// The ground (lit with the last box's specular, shininess and emission) and a box.
Surface groundSurface();
Surface boxSurface();

// The colour, 0..1 per channel and clamped, that GL's lighting gives a vertex
// at point with unit normal, all in world terms, lit by the whole rig (or with
// light `without` left out, -1 for none). towardsViewer is the unit direction
// from the scene towards the eye along the view axis (GL's infinite viewer).
Vec3 litColour(const Vec3& point, const Vec3& normal, const Surface& surface,
               const Vec3& towardsViewer, int without = -1);

// True if the point lies inside the cone of spotlight index (1..4).
bool insideCone(int index, const Vec3& point);
