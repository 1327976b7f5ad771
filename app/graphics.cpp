// Start-up: the window, the callbacks, the menu and the one-time render state.
#include "app/app.h"

#include "app/options.h"
#include "app/version.h"
#include "lighting/lights.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <cmath>
#include <cstdio>

namespace {

// The window's size at the desktop's scale of 100 %.
constexpr int WINDOW_WIDTH = 1280;  // pixels
constexpr int WINDOW_HEIGHT = 720;  // pixels
constexpr double BASE_DPI = 96.0;   // dots per inch at 100 %
// The scales taken for real: below or above these a desktop's DPI is a mistake.
constexpr double LOWEST_DPI = 24.0;   // dots per inch
constexpr double HIGHEST_DPI = 960.0; // dots per inch
constexpr char WINDOW_TITLE[] = "Quorvale 1";
constexpr float GLOBAL_AMBIENT[4] = {0.33f, 0.33f, 0.33f, 1.0f};

void buildMenu()
{
    glutCreateMenu(onMenu);
    for (const MenuItem& item : menuItems)
        glutAddMenuEntry(item.label, item.value);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
}

void enableLights()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glEnable(GL_LIGHT3);
    glEnable(GL_LIGHT4);
}

} // namespace

const MenuItem menuItems[5] = {
    {"Lock/Free Camera", MENU_LOCK_CAMERA, "switch between the free camera and the chase view"},
    {"Mouse/Keyboard Camera", MENU_MOUSE_CAMERA, "switch the free camera between keys and mouse"},
    {"Enable/Disable Wireframe", MENU_WIREFRAME, "toggle wireframe rendering"},
    {"Enable/Disable Vertex", MENU_VERTEX, "toggle point rendering"},
    {"Exit Application", MENU_EXIT, "quit"},
};

WindowSize windowSizeForDpi(double dpi)
{
    const double scale = dpi >= LOWEST_DPI && dpi <= HIGHEST_DPI ? dpi / BASE_DPI : 1.0;
    return {static_cast<int>(std::lround(WINDOW_WIDTH * scale)),
            static_cast<int>(std::lround(WINDOW_HEIGHT * scale))};
}

void initGraphics(int* argc, char** argv)
{
    // The toolkit takes -display out of the arguments.
    const char* displayName = displayOption(*argc, argv);
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    const WindowSize size = windowSizeForDpi(desktopDpi(displayName));
    glutInitWindowSize(size.width, size.height);
    glutCreateWindow(WINDOW_TITLE);
    nameWindow();
    followDesktopScale();
    glutIdleFunc(onIdle);
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutPassiveMotionFunc(nullptr);
    attachKeyboard();
    buildMenu();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    // Default culling: back faces go, counter-clockwise on screen is front.
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    enableLights();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, GLOBAL_AMBIENT);
    initLights();
    // From here on the current colour is the front ambient and diffuse reflectance.
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
}

void printBanner()
{
    std::printf("C++ and OpenGL Quorvale 1\n");
    std::printf("Ferrowold version %d.%d\n", QUORVALE_VERSION_MAJOR, QUORVALE_VERSION_MINOR);
    std::printf("Tamsrel aka Quennick\n");
    std::printf("------\n");
    // Shown at once even when standard output is a pipe.
    std::fflush(stdout);
}
