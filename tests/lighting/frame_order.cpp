#include "tests/lighting/frame_order.h"

#include "tests/lighting/lighting_model.h"
#include "tests/support/view_math.h"
#include "tests/support/scene_view.h"

#include <cmath>
#include <string>

namespace {

constexpr double TOLERANCE = 1e-5;     // apitrace prints floats to about 7 digits
constexpr int BOX_DRAWS = 96;          // 6 faces x 16 quads
constexpr int BOX_NORMALS = 6;
constexpr int TANK_DRAWS = 672;        // 3 parts x 14 faces x 16 quads
constexpr int GRID_LINES = 42;
constexpr double GRID_HEIGHT = 0.01;
constexpr double CELL = 0.5;

bool near(const std::vector<double>& got, const std::vector<double>& want)
{
    if (got.size() != want.size())
        return false;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (std::fabs(got[i] - want[i]) > TOLERANCE * std::max(1.0, std::fabs(want[i])))
            return false;
    return true;
}

std::string text(const std::vector<double>& v)
{
    std::string s = "(";
    for (std::size_t i = 0; i < v.size(); ++i)
        s += (i ? ", " : "") + std::to_string(v[i]);
    return s + ")";
}

// Walks one frame's calls in order, keeping the model-view matrix relative to
// the view as the calls build it.
class Walker {
public:
    Walker(const std::vector<TraceCall>& calls, std::pair<std::size_t, std::size_t> frame)
        : calls_(calls), at_(frame.first), end_(frame.second)
    {
    }

    const TraceCall& peek()
    {
        // Window-system calls other than the swap belong to the toolkit.
        while (at_ <= end_ && calls_[at_].name.rfind("glX", 0) == 0 && calls_[at_].name != "glXSwapBuffers")
            ++at_;
        if (at_ > end_)
            throw FrameMismatch("frame ends early");
        return calls_[at_];
    }

    const TraceCall& take(const std::string& name)
    {
        const TraceCall& call = peek();
        if (call.name != name)
            fail("expected " + name);
        ++at_;
        return call;
    }

    const TraceCall& takeAny()
    {
        const TraceCall& call = peek();
        ++at_;
        return call;
    }

    [[noreturn]] void fail(const std::string& why)
    {
        const TraceCall& call = calls_[std::min(at_, end_)];
        throw FrameMismatch(why + " (at call " + std::to_string(call.number) + " " + call.name + ")");
    }

    void expect(bool ok, const std::string& why)
    {
        if (!ok)
            fail(why);
    }

    void expectValues(const std::vector<double>& got, const std::vector<double>& want, const std::string& what)
    {
        expect(near(got, want), what + ": " + text(got) + ", expected " + text(want));
    }

    // Apply a matrix call to the simulated model-view stack; false if the
    // call is not one.
    bool simulate(const TraceCall& c)
    {
        if (c.name == "glPushMatrix") {
            stack_.push_back(stack_.back());
        } else if (c.name == "glPopMatrix") {
            expect(stack_.size() > 1, "pop without push");
            stack_.pop_back();
        } else if (isTransform(c)) {
            stack_.back() = multiply(stack_.back(), matrixOf(c));
        } else {
            return false;
        }
        return true;
    }

    static bool isTransform(const TraceCall& c)
    {
        return c.name == "glTranslatef" || c.name == "glTranslated" || c.name == "glRotatef" ||
               c.name == "glRotated" || c.name == "glMultMatrixf" || c.name == "glMultMatrixd";
    }

    static Matrix4 matrixOf(const TraceCall& c)
    {
        if (c.name == "glTranslatef" || c.name == "glTranslated")
            return translation(c.value("x"), c.value("y"), c.value("z"));
        if (c.name == "glRotatef" || c.name == "glRotated")
            return rotation(c.value("angle"), c.value("x"), c.value("y"), c.value("z"));
        Matrix4 m = {};
        const std::vector<double> v = c.numbers("m");
        for (std::size_t i = 0; i < 16 && i < v.size(); ++i)
            m[i] = v[i];
        return m;
    }

    const Matrix4& top() const { return stack_.back(); }
    std::size_t depth() const { return stack_.size(); }

    std::vector<double> colour()
    {
        const TraceCall& c = takeAny();
        if (c.name == "glColor3f")
            return {c.value("red"), c.value("green"), c.value("blue")};
        if (c.name == "glColor3fv")
            return c.numbers("v");
        --at_;
        fail("expected a colour");
    }

    std::vector<double> vertex()
    {
        const TraceCall& c = take("glVertex3f");
        const Vec3 placed = transform(top(), {c.value("x"), c.value("y"), c.value("z")});
        return {placed.x, placed.y, placed.z};
    }

private:
    const std::vector<TraceCall>& calls_;
    std::size_t at_;
    std::size_t end_;
    std::vector<Matrix4> stack_ = {identity()};
};

void checkMatrixLoad(Walker& w, const std::string& mode, const Matrix4& expected, const std::string& what)
{
    w.expect(w.take("glMatrixMode").argument("mode") == mode, what + " in " + mode);
    w.take("glLoadIdentity");
    Matrix4 product = identity();
    while (Walker::isTransform(w.peek()))
        product = multiply(product, Walker::matrixOf(w.takeAny()));
    w.expectValues({product.begin(), product.end()}, {expected.begin(), expected.end()}, what);
}

void checkLights(Walker& w)
{
    for (int i = 0; i < RIG_LIGHTS; ++i) {
        const RigLight& slot = expectedSlots()[static_cast<std::size_t>(i)];
        const std::string light = "GL_LIGHT" + std::to_string(i);
        const TraceCall& p = w.take("glLightfv");
        w.expect(p.argument("light") == light && p.argument("pname") == "GL_POSITION", light + " position");
        w.expectValues(p.numbers("params"), {slot.position.begin(), slot.position.end()}, light + " position");
        if (i == 0)
            continue;
        const TraceCall& d = w.take("glLightfv");
        w.expect(d.argument("light") == light && d.argument("pname") == "GL_SPOT_DIRECTION", light + " direction");
        w.expectValues(d.numbers("params"), {slot.spotDirection.begin(), slot.spotDirection.end()},
                       light + " direction");
    }
}

// One glBegin(mode) .. glEnd with its vertices in view-relative terms.
std::vector<std::vector<double>> primitive(Walker& w, const std::string& mode)
{
    w.expect(w.take("glBegin").argument("mode") == mode, "expected " + mode);
    std::vector<std::vector<double>> vertices;
    while (w.peek().name == "glVertex3f")
        vertices.push_back(w.vertex());
    w.take("glEnd");
    return vertices;
}

void checkAxesAndGrid(Walker& w)
{
    w.expectValues(w.colour(), {1, 1, 1}, "line colour");
    w.expectValues({w.take("glLineWidth").value("width")}, {1}, "line width");
    const auto axes = primitive(w, "GL_LINES");
    const std::vector<std::vector<double>> axisEnds = {{100, 0, 0}, {-100, 0, 0}, {0, 100, 0},
                                                       {0, -100, 0}, {0, 0, 100}, {0, 0, -100}};
    w.expect(axes.size() == axisEnds.size(), "three axis lines in one glBegin");
    for (std::size_t i = 0; i < axes.size(); ++i)
        w.expectValues(axes[i], axisEnds[i], "axis end");

    w.expect(w.simulate(w.take("glPushMatrix")), "grid push");
    std::vector<std::vector<double>> grid;
    while (w.depth() > 1) {
        if (w.peek().name == "glBegin") {
            const auto line = primitive(w, "GL_LINES");
            w.expect(line.size() == 2, "one grid line per glBegin");
            grid.insert(grid.end(), line.begin(), line.end());
        } else if (!w.simulate(w.takeAny())) {
            w.fail("unexpected call in the grid");
        }
    }
    w.expect(grid.size() == 2 * GRID_LINES, "42 grid lines");
    for (int k = 0; k < 21; ++k) {
        const double at = -10 + k;
        const auto i = static_cast<std::size_t>(2 * k);
        w.expectValues(grid[i], {10, GRID_HEIGHT, at}, "grid line across x");
        w.expectValues(grid[i + 1], {-10, GRID_HEIGHT, at}, "grid line across x");
        w.expectValues(grid[42 + i], {at, GRID_HEIGHT, 10}, "grid line across z");
        w.expectValues(grid[42 + i + 1], {at, GRID_HEIGHT, -10}, "grid line across z");
    }
}

void checkBox(Walker& w, const BoxPlacement& at)
{
    w.expect(w.simulate(w.take("glPushMatrix")), "box push");
    int draws = 0;
    int normals = 0;
    bool arrayOn = false;
    bool coloured = false;
    while (w.depth() > 1) {
        const TraceCall& c = w.peek();
        if (c.name == "glColor3fv" || c.name == "glColor3f") {
            w.expectValues(w.colour(), {0.25, 0.1, 0.1}, "box colour");
            coloured = true;
            continue;
        }
        w.takeAny();
        if (c.name == "glEnableClientState" || c.name == "glDisableClientState") {
            w.expect(c.argument("array") == "GL_VERTEX_ARRAY", "only the vertex array");
            arrayOn = c.name == "glEnableClientState";
        } else if (c.name == "glDrawElements") {
            w.expect(arrayOn && c.argument("mode") == "GL_TRIANGLES" && c.value("count") == 6 &&
                         c.argument("type") == "GL_UNSIGNED_BYTE",
                     "box quad as 6 byte-indexed triangle corners, vertex array on");
            if (draws++ == 0) {
                const Matrix4 placed = multiply(translation(at.x, 0, at.z), rotation(at.yaw, 0, 1, 0));
                w.expectValues({w.top().begin(), w.top().end()}, {placed.begin(), placed.end()}, "box placement");
            }
        } else if (c.name == "glNormal3f") {
            ++normals;
        } else if (c.name == "glPushMatrix") {
            w.fail("nested push in a box");
        } else if (!w.simulate(c) && c.name != "glVertexPointer" && c.name != "glMaterialfv" &&
                   c.name != "glMaterialf") {
            w.fail("unexpected call in a box");
        }
    }
    w.expect(!arrayOn, "vertex array left on after a box");
    w.expect(coloured && draws == BOX_DRAWS && normals == BOX_NORMALS,
             "box: colour, 96 draws, 6 normals; got " + std::to_string(draws) + " draws, " +
                 std::to_string(normals) + " normals");
}

void checkGround(Walker& w)
{
    w.expectValues(w.colour(), {0.1, 0.25, 0.1}, "ground colour");
    const TraceCall& n = w.take("glNormal3f");
    w.expectValues({n.value("nx"), n.value("ny"), n.value("nz")}, {0, 1, 0}, "ground normal");
    for (int i = 20; i >= -19; --i) {
        for (int j = 19; j >= -20; --j) {
            const auto quad = primitive(w, "GL_QUADS");
            w.expect(quad.size() == 4, "four corners per ground cell");
            w.expectValues(quad[0], {(j + 1) * CELL, 0, i * CELL}, "ground cell corner 0");
            w.expectValues(quad[1], {(j + 1) * CELL, 0, (i - 1) * CELL}, "ground cell corner 1");
            w.expectValues(quad[2], {j * CELL, 0, (i - 1) * CELL}, "ground cell corner 2");
            w.expectValues(quad[3], {j * CELL, 0, i * CELL}, "ground cell corner 3");
        }
    }
}

void checkTank(Walker& w)
{
    w.expect(w.simulate(w.take("glPushMatrix")), "tank push");
    int draws = 0;
    while (w.depth() > 1) {
        const TraceCall& c = w.takeAny();
        if (c.name == "glDrawElements") {
            w.expect(c.argument("mode") == "GL_TRIANGLES", "tank quads as triangles");
            ++draws;
        } else if (c.name == "glPushMatrix" || c.name == "glBegin" || c.name == "glLoadIdentity" ||
                   c.name == "glMatrixMode") {
            w.fail("the tank is drawn inside one push and pop, from arrays");
        } else {
            w.simulate(c);
        }
    }
    w.expect(draws == TANK_DRAWS, "tank: 672 draws, got " + std::to_string(draws));
}

double checkTorus(Walker& w)
{
    w.expect(w.depth() == 1 && near({w.top().begin(), w.top().end()}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
             "the torus turns the bare view");
    w.expectValues(w.colour(), {0, 0, 1}, "torus colour");
    const TraceCall& s = w.take("glMaterialfv");
    w.expect(s.argument("face") == "GL_FRONT" && s.argument("pname") == "GL_SPECULAR", "torus specular");
    std::vector<double> specular = s.numbers("params");
    specular.resize(3);
    w.expectValues(specular, {1, 1, 1}, "torus specular");
    const TraceCall& shine = w.take("glMaterialf");
    w.expect(shine.argument("face") == "GL_FRONT" && shine.argument("pname") == "GL_SHININESS", "torus shininess");
    w.expectValues({shine.value("param")}, {25}, "torus shininess");
    const TraceCall& turn = w.take("glRotatef");
    w.expectValues({turn.value("x"), turn.value("y"), turn.value("z")}, {0, 1, 0}, "torus turns about +y");
    int draws = 0;
    while (w.peek().name != "glXSwapBuffers") {
        const std::string& name = w.takeAny().name;
        if (name == "glDrawElements" || name == "glDrawArrays" || name == "glBegin")
            ++draws;
        else if (name.find("Matrix") != std::string::npos || name.find("Translate") != std::string::npos ||
                 name.find("Rotate") != std::string::npos || name.find("glLight") == 0 ||
                 name == "glLoadIdentity")
            w.fail("nothing but the torus after its turn");
    }
    w.expect(draws > 0, "the torus is drawn");
    return turn.value("angle");
}

void checkLightCall(Walker& w, const std::string& light, const std::string& parameter,
                    const std::vector<double>& want)
{
    const TraceCall& c = w.takeAny();
    const bool vector = c.name == "glLightfv";
    w.expect((vector || c.name == "glLightf") && c.argument("light") == light && c.argument("pname") == parameter,
             "expected " + light + " " + parameter);
    w.expectValues(vector ? c.numbers("params") : std::vector<double>{c.value("param")}, want,
                   light + " " + parameter);
}

// The model-view matrix must be the identity when the first light is given.
void checkIdentityBefore(const std::vector<TraceCall>& calls, std::size_t first)
{
    bool identity = false;
    for (std::size_t i = 0; i < first; ++i) {
        const TraceCall& c = calls[i];
        if (c.name == "glLoadIdentity")
            identity = true;
        else if (Walker::isTransform(c) || c.name.rfind("glLoadMatrix", 0) == 0 || c.name == "glPushMatrix")
            identity = false;
        else if (c.name == "glMatrixMode")
            identity = identity && c.argument("mode") == "GL_MODELVIEW";
    }
    if (!identity)
        throw FrameMismatch("lights given before the model-view was the identity");
}

} // namespace

void checkStartUpLights(const std::vector<TraceCall>& calls)
{
    std::size_t first = 0;
    while (first < calls.size() && calls[first].name != "glLightfv" && calls[first].name != "glLightf")
        ++first;
    if (first == calls.size())
        throw FrameMismatch("no light set at start-up");
    checkIdentityBefore(calls, first);
    Walker w(calls, {first, calls.size() - 1});
    const auto four = [](const std::array<float, 4>& v) { return std::vector<double>(v.begin(), v.end()); };
    for (int i = 0; i < RIG_LIGHTS; ++i) {
        const RigLight& slot = expectedSlots()[static_cast<std::size_t>(i)];
        const std::string light = "GL_LIGHT" + std::to_string(i);
        checkLightCall(w, light, "GL_AMBIENT", four(slot.ambient));
        checkLightCall(w, light, "GL_DIFFUSE", four(slot.diffuse));
        checkLightCall(w, light, "GL_SPECULAR", four(slot.specular));
        checkLightCall(w, light, "GL_POSITION", four(slot.position));
        if (i == 0)
            continue;
        checkLightCall(w, light, "GL_SPOT_CUTOFF", {slot.spotCutoff});
        checkLightCall(w, light, "GL_SPOT_DIRECTION", {slot.spotDirection.begin(), slot.spotDirection.end()});
        checkLightCall(w, light, "GL_SPOT_EXPONENT", {slot.spotExponent});
        checkLightCall(w, light, "GL_CONSTANT_ATTENUATION", {slot.attenuation[0]});
        checkLightCall(w, light, "GL_LINEAR_ATTENUATION", {slot.attenuation[1]});
        checkLightCall(w, light, "GL_QUADRATIC_ATTENUATION", {slot.attenuation[2]});
    }
    // Nothing more is given for any light until the first frame.
    while (w.peek().name != "glClear") {
        const std::string& name = w.takeAny().name;
        w.expect(name != "glLightfv" && name != "glLightf", "no further light set-up before the first frame");
    }
}

std::vector<std::pair<std::size_t, std::size_t>> completeFrames(const std::vector<TraceCall>& calls)
{
    std::vector<std::pair<std::size_t, std::size_t>> frames;
    bool cleared = false;
    std::size_t clear = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glClear") {
            cleared = true;
            clear = i;
        } else if (calls[i].name == "glXSwapBuffers") {
            if (cleared)
                frames.emplace_back(clear, i);
            cleared = false;
        }
    }
    return frames;
}

double checkFrame(const std::vector<TraceCall>& calls, std::pair<std::size_t, std::size_t> frame,
                  const FrameView& view)
{
    Walker w(calls, frame);
    const std::string& mask = w.take("glClear").argument("mask");
    w.expect(mask.find("GL_COLOR_BUFFER_BIT") != std::string::npos &&
                 mask.find("GL_DEPTH_BUFFER_BIT") != std::string::npos,
             "clear colour and depth");
    checkMatrixLoad(w, "GL_PROJECTION", perspective(60, view.aspect, 0.1, 100), "projection");
    checkMatrixLoad(w, "GL_MODELVIEW", lookAt({view.eye[0], view.eye[1], view.eye[2]}, {view.centre[0], view.centre[1], view.centre[2]}), "view");
    checkLights(w);
    checkAxesAndGrid(w);
    for (const BoxPlacement& at : BOX_PLACEMENTS)
        checkBox(w, at);
    checkGround(w);
    checkTank(w);
    const double angle = checkTorus(w);
    w.take("glXSwapBuffers");
    return angle;
}
