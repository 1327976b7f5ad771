#include "webgl/per_vertex_lighting.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace quorvale::webgl {

namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;
constexpr float NO_CONE_DEGREES = 180.0f;
constexpr float NO_CONE = -2.0f;  // below any cosine: the spot factor is 1

// GLSL ES 1.00 (and GLSL 1.10 on the desktop, where GL_ES is not defined).
// The equation is OpenGL 1.1's (section 2.13.1) with the infinite viewer and
// one-sided lighting, evaluated as Mesa evaluates it: the spot factor needs the
// vertex strictly inside the cone; the specular term needs n.VP > 0.
const char* const VERTEX_SHADER = R"(
#define MAX_LIGHTS 8
attribute vec3 eyePosition;
attribute vec3 eyeNormal;
attribute vec4 colour;
attribute vec2 screenOffset;
attribute float cutFraction;
attribute vec3 farEyePosition;  // these three: the far end of a cut line, one value a run
attribute vec3 farEyeNormal;
attribute vec4 farColour;
uniform mat4 projection;
uniform bool lightingOn;
uniform bool colourMaterial;
uniform vec4 sceneAmbient;
uniform vec4 materialAmbient;
uniform vec4 materialDiffuse;
uniform vec4 materialSpecular;
uniform vec4 materialEmission;
uniform float materialShininess;
uniform int lightCount;
uniform vec4 lightAmbient[MAX_LIGHTS];
uniform vec4 lightDiffuse[MAX_LIGHTS];
uniform vec4 lightSpecular[MAX_LIGHTS];
uniform vec4 lightPosition[MAX_LIGHTS];
uniform vec4 lightSpot[MAX_LIGHTS];         // unit direction, cosine of the cutoff (-2: no cone)
uniform vec4 lightAttenuation[MAX_LIGHTS];  // constant, linear, quadratic, spot exponent
varying vec4 litColour;

// The colour GL gives a vertex at position with normal and the current colour.
vec4 lit(vec3 position, vec3 normal, vec4 current)
{
    if (!lightingOn)
        return current;
    vec4 ambient = colourMaterial ? current : materialAmbient;
    vec4 diffuse = colourMaterial ? current : materialDiffuse;
    vec3 sum = materialEmission.rgb + ambient.rgb * sceneAmbient.rgb;
    for (int i = 0; i < MAX_LIGHTS; ++i) {
        if (i >= lightCount)
            break;
        vec3 toLight;
        float factor = 1.0;
        if (lightPosition[i].w != 0.0) {
            toLight = lightPosition[i].xyz / lightPosition[i].w - position;
            float d = length(toLight);
            toLight /= d;
            factor = 1.0 / dot(lightAttenuation[i].xyz, vec3(1.0, d, d * d));
        } else {
            toLight = normalize(lightPosition[i].xyz);
        }
        if (lightSpot[i].w >= -1.0) {
            float spot = dot(-toLight, lightSpot[i].xyz);
            factor *= spot > lightSpot[i].w ? pow(abs(spot), lightAttenuation[i].w) : 0.0;
        }
        float nDotL = dot(normal, toLight);
        float nDotH = max(dot(normal, normalize(toLight + vec3(0.0, 0.0, 1.0))), 0.0);
        float specular = 0.0;
        if (nDotL > 0.0)
            specular = materialShininess > 0.0 ? pow(nDotH, materialShininess) : 1.0;
        sum += factor * (ambient.rgb * lightAmbient[i].rgb
                         + max(nDotL, 0.0) * diffuse.rgb * lightDiffuse[i].rgb
                         + specular * materialSpecular.rgb * lightSpecular[i].rgb);
    }
    return vec4(clamp(sum, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}

// A cut vertex (cutFraction > 0) lies that far from its own end towards the
// far end and takes the blend of both ends' lit colours, as GL's clipping does.
void main()
{
    vec3 position = eyePosition;
    litColour = lit(eyePosition, eyeNormal, colour);
    if (cutFraction > 0.0) {
        position = mix(eyePosition, farEyePosition, cutFraction);
        litColour = mix(litColour, lit(farEyePosition, farEyeNormal, farColour), cutFraction);
    }
    gl_Position = projection * vec4(position, 1.0);
    gl_Position.xy += screenOffset * gl_Position.w;
    gl_PointSize = 1.0;
}
)";

const char* const FRAGMENT_SHADER = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec4 litColour;

void main()
{
    gl_FragColor = litColour;
}
)";

// Attribute slots, bound before linking.
enum Attribute : GLuint {
    EYE_POSITION,
    EYE_NORMAL,
    COLOUR,
    SCREEN_OFFSET,
    CUT_FRACTION,
    FAR_EYE_POSITION,  // the far end's three: constant values, set for each cut line
    FAR_EYE_NORMAL,
    FAR_COLOUR,
};

// Print why compiling or linking an object failed, from its info log (a
// shader's or a program's, through the matching pair of GL queries).
void printLog(const char* what, GLuint object, void (*getLength)(GLuint, GLenum, GLint*),
              void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*))
{
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
    getLog(object, length, nullptr, log.data());
    std::fprintf(stderr, "per_vertex_lighting: %s failed: %s\n", what, log.data());
}

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE)
        return shader;
    printLog(type == GL_VERTEX_SHADER ? "vertex shader" : "fragment shader", shader,
             glGetShaderiv, glGetShaderInfoLog);
    glDeleteShader(shader);
    return 0;
}

std::optional<GLuint> link(GLuint vertexShader, GLuint fragmentShader)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindAttribLocation(program, EYE_POSITION, "eyePosition");
    glBindAttribLocation(program, EYE_NORMAL, "eyeNormal");
    glBindAttribLocation(program, COLOUR, "colour");
    glBindAttribLocation(program, SCREEN_OFFSET, "screenOffset");
    glBindAttribLocation(program, CUT_FRACTION, "cutFraction");
    glBindAttribLocation(program, FAR_EYE_POSITION, "farEyePosition");
    glBindAttribLocation(program, FAR_EYE_NORMAL, "farEyeNormal");
    glBindAttribLocation(program, FAR_COLOUR, "farColour");
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE)
        return program;
    printLog("link", program, glGetProgramiv, glGetProgramInfoLog);
    glDeleteProgram(program);
    return std::nullopt;
}

void findUniforms(LightingProgram& p)
{
    p.projection = glGetUniformLocation(p.program, "projection");
    p.lightingOn = glGetUniformLocation(p.program, "lightingOn");
    p.colourMaterial = glGetUniformLocation(p.program, "colourMaterial");
    p.sceneAmbient = glGetUniformLocation(p.program, "sceneAmbient");
    const char* const material[4] = {"materialAmbient", "materialDiffuse", "materialSpecular",
                                     "materialEmission"};
    for (int i = 0; i < 4; ++i)
        p.material[i] = glGetUniformLocation(p.program, material[i]);
    p.shininess = glGetUniformLocation(p.program, "materialShininess");
    p.lightCount = glGetUniformLocation(p.program, "lightCount");
    const char* const light[6] = {"lightAmbient[0]", "lightDiffuse[0]", "lightSpecular[0]",
                                  "lightPosition[0]", "lightSpot[0]", "lightAttenuation[0]"};
    for (int i = 0; i < 6; ++i)
        p.light[i] = glGetUniformLocation(p.program, light[i]);
}

// The spot's unit direction and cutoff cosine, as the shader reads them.
void spotOf(const Light& light, float out[4])
{
    const float* d = light.eyeSpotDirection;
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; ++i)
        out[i] = length > 0.0f ? d[i] / length : 0.0f;
    out[3] = light.spotCutoffDegrees == NO_CONE_DEGREES
                 ? NO_CONE
                 : static_cast<float>(std::cos(light.spotCutoffDegrees * DEGREES_TO_RADIANS));
}

void loadLights(const LightingProgram& program, const Lighting& lighting)
{
    // The lights that are on, packed from the start of the arrays.
    float values[6][LIGHT_COUNT][4] = {};
    int count = 0;
    for (const Light& light : lighting.lights) {
        if (!light.on)
            continue;
        for (int c = 0; c < 4; ++c) {
            values[0][count][c] = light.ambient[c];
            values[1][count][c] = light.diffuse[c];
            values[2][count][c] = light.specular[c];
        }
        const Vector4& p = light.eyePosition;
        const float position[4] = {p.x, p.y, p.z, p.w};
        std::copy(position, position + 4, values[3][count]);
        spotOf(light, values[4][count]);
        std::copy(light.attenuation, light.attenuation + 3, values[5][count]);
        values[5][count][3] = light.spotExponent;
        ++count;
    }
    glUniform1i(program.lightCount, count);
    for (int i = 0; i < 6; ++i)
        glUniform4fv(program.light[i], LIGHT_COUNT, &values[i][0][0]);
}

} // namespace

std::optional<LightingProgram> createLightingProgram()
{
    const GLuint vertexShader = compile(GL_VERTEX_SHADER, VERTEX_SHADER);
    const GLuint fragmentShader = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    std::optional<GLuint> linked;
    if (vertexShader != 0 && fragmentShader != 0)
        linked = link(vertexShader, fragmentShader);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    if (!linked)
        return std::nullopt;
    LightingProgram program;
    program.program = *linked;
    findUniforms(program);
    glGenBuffers(1, &program.vertexBuffer);
    return program;
}

void loadLighting(const LightingProgram& program, const Lighting& lighting,
                  const Matrix4& projection)
{
    glUseProgram(program.program);
    glUniformMatrix4fv(program.projection, 1, GL_FALSE, projection.m);
    glUniform1i(program.lightingOn, lighting.lightingOn ? 1 : 0);
    glUniform1i(program.colourMaterial, colourTracksMaterial(lighting) ? 1 : 0);
    glUniform4fv(program.sceneAmbient, 1, lighting.sceneAmbient);
    const Material& m = lighting.front;
    const float* material[4] = {m.ambient, m.diffuse, m.specular, m.emission};
    for (int i = 0; i < 4; ++i)
        glUniform4fv(program.material[i], 1, material[i]);
    glUniform1f(program.shininess, m.shininess);
    loadLights(program, lighting);
}

void uploadVertices(const LightingProgram& program, const GpuVertex* vertices, int count)
{
    glUseProgram(program.program);
    glBindBuffer(GL_ARRAY_BUFFER, program.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(GpuVertex)), vertices,
                 GL_STREAM_DRAW);
    constexpr GLsizei stride = sizeof(GpuVertex);
    const struct {
        Attribute slot;
        GLint size;
        std::size_t offset;
    } attributes[] = {
        {EYE_POSITION, 3, offsetof(GpuVertex, eye)},
        {EYE_NORMAL, 3, offsetof(GpuVertex, normal)},
        {COLOUR, 4, offsetof(GpuVertex, colour)},
        {SCREEN_OFFSET, 2, offsetof(GpuVertex, screenOffset)},
        {CUT_FRACTION, 1, offsetof(GpuVertex, cutFraction)},
    };
    for (const auto& a : attributes) {
        glEnableVertexAttribArray(a.slot);
        glVertexAttribPointer(a.slot, a.size, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(a.offset));
    }
}

void loadFarEnd(const GpuVertex& farEnd)
{
    glVertexAttrib3fv(FAR_EYE_POSITION, farEnd.eye);
    glVertexAttrib3fv(FAR_EYE_NORMAL, farEnd.normal);
    glVertexAttrib4fv(FAR_COLOUR, farEnd.colour);
}

void drawRun(GLenum primitive, int first, int count)
{
    glDrawArrays(primitive, first, count);
}

} // namespace quorvale::webgl
